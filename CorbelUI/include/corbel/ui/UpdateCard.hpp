#pragma once
// The offer of a newer release: the version, how to install it, and two buttons, "Download" (opens
// the download address and leaves the card) and "Not now" (the owner's set-aside action). The card
// keeps no state; its owner removes it when the notifier's offer goes. Main thread only.

#include "corbel/ui/CorbelBrand.hpp"
#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/KitView.hpp"
#include "corbel/updates/AvailableUpdate.hpp"

#include <QUrl>

#include <functional>

namespace corbel {

class KitButton;
class SymbolView;
class TextLabel;

struct UpdateCardProps {
    CorbelBrand brand;
    AvailableUpdate update;

    bool operator==(const UpdateCardProps& other) const;
};

class UpdateCard : public KitView<UpdateCardProps>, public KitAccessibleView {
public:
    explicit UpdateCard(Props props, QWidget* parent = nullptr);

    void setSetAside(std::function<void()> setAside);
    // How "Download" opens an address; the desktop's URL handler unless replaced.
    void setOpenUrl(std::function<void(const QUrl&)> openUrl);

    QAccessible::Role accessibleRole() const override { return QAccessible::Grouping; }
    QString accessibleLabel() const override;

protected:
    void propsChanged() override;
    void environmentChanged(KitEnvironmentKey key) override;
    void paletteChanged() override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void refresh();

    std::function<void()> setAside_;
    std::function<void(const QUrl&)> openUrl_;
    SymbolView* symbol_;
    TextLabel* title_;
    TextLabel* instructions_;
    KitButton* download_;
    KitButton* notNow_;
};

} // namespace corbel
