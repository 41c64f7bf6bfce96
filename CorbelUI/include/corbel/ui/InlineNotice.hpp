#pragma once
// A notice inside a window: the kind's symbol, a text that wraps to its full height, and an
// optional trailing control, on the card fill.

#include "corbel/ui/FirstBaseline.hpp"
#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/KitView.hpp"

#include <QColor>
#include <QString>
#include <QStringView>

namespace corbel {

class SymbolView;
class TextLabel;
enum class ColorScheme;

enum class NoticeKind {
    warning,
    waiting,
    info,
};

QStringView noticeSymbol(NoticeKind kind) noexcept;
QColor noticeTint(NoticeKind kind, ColorScheme scheme, bool increasedContrast = false);

struct InlineNoticeProps {
    NoticeKind kind = NoticeKind::info;
    QString text{};

    bool operator==(const InlineNoticeProps&) const = default;
};

class InlineNotice : public KitView<InlineNoticeProps>, public KitAccessibleView {
public:
    // `trailing`, when given, is shown at the trailing edge and owned by the notice.
    explicit InlineNotice(Props props, QWidget* trailing = nullptr, QWidget* parent = nullptr);

    bool hasTrailing() const noexcept { return trailing_ != nullptr; }

    QAccessible::Role accessibleRole() const override;
    QString accessibleLabel() const override;
    bool accessibleCombinesChildren() const override { return !hasTrailing(); }

protected:
    void propsChanged() override;
    void environmentChanged(KitEnvironmentKey key) override;
    void paintEvent(QPaintEvent* event) override;
    void paletteChanged() override;

private:
    void refresh();

    SymbolView* symbol_;
    TextLabel* text_;
    QWidget* trailing_;
};

} // namespace corbel
