#pragma once
// A preferences window's large title, read as a heading, after the application's icon when asked:
// at least as high as the icon, wrapping onto more lines when it must.

#include "corbel/ui/KitView.hpp"

#include <QString>

#include <vector>

namespace corbel {

class AppIcon;
class TextLabel;

namespace preferences {

struct HeaderProps {
    QString title{};
    bool showsIcon = false;

    bool operator==(const HeaderProps&) const = default;
};

class Header : public KitView<HeaderProps> {
public:
    static constexpr int iconSize = 48;

    explicit Header(Props props, QWidget* parent = nullptr);

    TextLabel& title() const { return *title_; }
    // The icon, or null when the header shows none.
    AppIcon* icon() const { return icon_; }

protected:
    void propsChanged() override;

private:
    TextLabel* title_;
    AppIcon* icon_ = nullptr;
};

// A column of a header and the content under it, 32 apart, `width` wide. The header comes first.
QWidget* headedColumn(QWidget* header, const std::vector<QWidget*>& content, int width);

} // namespace preferences
} // namespace corbel
