#pragma once
// The frame of the tray panel's content: a header with the application icon, the product name, the
// status line with its coloured dot and the on/off switch; the application's content; an update
// card while an update is on offer; and a footer with the privacy lines, the version caption and the
// round "Preferences", "Getting Started" and "Quit" buttons. Built with a status state it paints the
// brand's gradient and tints its controls with the brand accent; built with a plain dot colour it
// does neither. Each time it comes on screen it re-reads the open-at-login state (when asked to) and
// then asks the update notifier to check if a check is due. Main thread only.

#include "corbel/ui/CorbelBrand.hpp"
#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/KitView.hpp"
#include "corbel/ui/PanelStatus.hpp"
#include "platform/observation/Subscription.hpp"

#include <QColor>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <variant>
#include <vector>

class QShortcut;
class QVBoxLayout;
class QHBoxLayout;

namespace corbel {

class BrandBackground;
class KitSwitch;
class PanelFooterButton;
class PrivacyLine;
class SampleUpdateNotifier;
class TextLabel;
class UpdateCard;
class UpdateNotifier;

struct CorbelPanelProps {
    CorbelBrand brand;
    QString status{};
    // A state: its colour, with the brand's background and tint. A colour: exactly that colour,
    // with neither.
    std::variant<PanelStatus, QColor> dot{PanelStatus::off};
    bool isOn = false;
    QString privacy{};
    QString privacySymbol{};
    bool refreshLoginItemOnAppear = true;
    bool isSwitchEnabled = true;

    bool operator==(const CorbelPanelProps& other) const;
};

struct CorbelPanelActions {
    std::function<void(bool)> setOn{}; // the switch asks; the owner answers by setting isOn
    std::function<void()> showGuide{};
    std::function<void()> showPreferences{}; // empty: no "Preferences" button and no Ctrl+,
    std::function<void(bool)> preferencesFocusChanged{};
    std::function<void()> quit{}; // empty: the application quits
};

class CorbelPanel : public KitView<CorbelPanelProps>, public KitAccessibleView {
public:
    // The content widgets go, in order, into the panel's own column. `arguments` decide whether the
    // panel offers the sample update ("--snapshot-update"); they are read once, here.
    CorbelPanel(Props props, CorbelPanelActions actions, std::vector<QWidget*> content = {},
                QWidget* parent = nullptr, const QStringList& arguments = QCoreApplication::arguments());
    ~CorbelPanel() override;

    void setActions(CorbelPanelActions actions);

    // The sample notifier when the panel made one, else the environment's notifier, else none.
    // REQUIRES: a notifier set in the environment stays alive while it is set there.
    UpdateNotifier* activeNotifier() const;
    QColor dotColor() const;

    // "Corbel Thane (" + version + ")", "?" standing for a missing version.
    static QString versionCaption(const QString& version);
    // The application's version, read once per process.
    static const QString& applicationVersion();

    // Always the panel's width; as tall as the content needs there.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    QAccessible::Role accessibleRole() const override { return QAccessible::Pane; }
    QString accessibleLabel() const override { return props().brand.name(); }

protected:
    void propsChanged() override;
    void environmentChanged(KitEnvironmentKey key) override;
    void paletteChanged() override;
    void localeChanged() override { refresh(); }
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    class StatusDot;

    void refresh();
    void placeFooterButtons();
    void followNotifier();
    void refreshUpdateCard();

    CorbelPanelActions actions_;
    std::unique_ptr<SampleUpdateNotifier> sampleUpdate_;
    UpdateNotifier* followed_ = nullptr;
    platform::Subscription availableToken_;

    BrandBackground* background_;
    QVBoxLayout* column_;
    TextLabel* name_;
    StatusDot* dot_;
    TextLabel* status_;
    KitSwitch* switch_;
    UpdateCard* updateCard_ = nullptr;
    QVBoxLayout* footer_;
    PrivacyLine* brandPrivacy_;
    PrivacyLine* privacy_;
    TextLabel* caption_;
    QHBoxLayout* footerRow_;
    PanelFooterButton* preferences_ = nullptr;
    PanelFooterButton* guide_;
    PanelFooterButton* quit_;
    QShortcut* preferencesShortcut_ = nullptr;
    QShortcut* quitShortcut_;
};

} // namespace corbel
