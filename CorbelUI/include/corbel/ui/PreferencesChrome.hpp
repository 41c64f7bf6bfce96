#pragma once
// The frame of a preferences window and of the step-by-step welcome: the content padded 48 above
// and 32 on the other sides in a window of a fixed width, on the brand's background, tinted with
// the brand's accent for the scheme. It keeps the window's record of keyboard use: focus rings
// inside show only after a key press while the window is active, and hide again each time the
// window becomes active anew. Main thread only.

#include "corbel/ui/BrandFocus.hpp"
#include "corbel/ui/CorbelBrand.hpp"
#include "corbel/ui/KeyboardUseMonitor.hpp"
#include "corbel/ui/KitAccessibility.hpp"

#include <QWidget>

#include <optional>

namespace corbel {

class BrandBackground;

class PreferencesChrome : public QWidget, public KitAccessibleView {
public:
    static constexpr int topPadding = 48;
    static constexpr int sidePadding = 32;

    // `content` is owned by the chrome and gets the width less 64. `keys` are the key-down
    // monitors to watch; null: the application's own.
    PreferencesChrome(CorbelBrand brand, int width, QWidget* content, QWidget* parent = nullptr,
                      LocalKeyDownMonitoring* keys = nullptr);
    ~PreferencesChrome() override;

    const CorbelBrand& brand() const noexcept { return brand_; }
    int chromeWidth() const noexcept { return width_; }
    QWidget& content() const { return *content_; }
    const BrandFocusSession& session() const noexcept { return session_; }
    bool isMonitoringKeys() const noexcept { return keys_.isMonitoring(); }

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void startKeys();
    void setKeyboardUsed(bool used);
    void refreshTint();

    CorbelBrand brand_;
    int width_;
    QWidget* content_;
    BrandBackground* background_;
    BrandFocusSession session_;
    KeyboardUseMonitor keys_;
    std::optional<bool> appearsActive_; // the last value seen while shown
};

} // namespace corbel
