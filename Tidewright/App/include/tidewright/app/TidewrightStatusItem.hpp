#pragma once
// The status item: a tray icon that shows the status label (the operating indicator's symbol, the
// display name as its tool tip, the status word where the tray lets tools read it) and, when it is
// activated, the panel host in a frameless popup beside the icon, or at the pointer when the tray
// does not say where the icon is. The popup closes through the panel's own hooks, Escape, or a
// click elsewhere. Without a tray the program says so once and goes on with its hot keys.

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>

#include "corbel/ui/ColorScheme.hpp"
#include "tidewright/app/TidewrightStatusLabel.hpp"

class QSystemTrayIcon;
class QWidget;

namespace corbel {
class UpdateNotifier;
} // namespace corbel

namespace tidewright {

class TidewrightAppModel;
class TidewrightPanelHost;

// Main thread only. REQUIRES a QApplication. Holds the model weakly.
class TidewrightStatusItem final : public QObject {
public:
    // Shows the icon at once. updateNotifier goes to the panel's chrome; none in snapshot mode.
    // REQUIRES: model is set; the notifier outlives the item.
    TidewrightStatusItem(const std::shared_ptr<TidewrightAppModel>& model, corbel::UpdateNotifier* updateNotifier,
                         QObject* parent = nullptr);
    ~TidewrightStatusItem() override;

    // Lets assistive technology reach the panel while it is shown. Once per process, before the
    // QApplication is built (Qt keeps the application's accessible object once made).
    static void exposePanelToAssistiveTechnology();

    // Shows the panel next to the icon, or at the pointer when the icon's place is unknown, kept on
    // that screen; a panel already shown only comes to the front.
    void showPanel();
    // Closes the panel; nothing when it is not shown.
    void closePanel();

    QSystemTrayIcon& trayIcon() const noexcept { return *tray_; }
    const TidewrightStatusLabel& label() const noexcept { return label_; }
    // The popup and the host in it; none before the first showPanel().
    QWidget* panelWindow() const noexcept { return popup_; }
    TidewrightPanelHost* panelHost() const noexcept { return host_; }

    // The icon of a symbol of the kit's table in the label colour of a scheme: dark strokes for a
    // light tray, light strokes for a dark one.
    static QIcon statusIcon(const QString& symbol, corbel::ColorScheme scheme);
    // Where a panel of this size goes, in global coordinates: centred under the icon (above it when
    // the icon sits in the lower half of the screen), or at the pointer when icon is empty; then
    // moved inside the available area.
    static QPoint panelOrigin(const QRect& icon, const QPoint& pointer, const QSize& panel, const QRect& available);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    void describeEmbeddedIcon(QWidget& icon) const;

    std::weak_ptr<TidewrightAppModel> model_;
    corbel::UpdateNotifier* updateNotifier_;
    TidewrightStatusLabel label_;
    QSystemTrayIcon* tray_;
    QWidget* popup_ = nullptr;
    TidewrightPanelHost* host_ = nullptr;
};

} // namespace tidewright
