#pragma once
// The single-screen welcome: in one centred column, the application icon, a title and subtitle, an
// optional extra view, a glass card listing the permissions the application asks for, the privacy
// statements, and a row with the "Open at Login" switch and the "Get Started" button, which Return
// also runs. The switch shows the shared login item, read again each time the layout is shown.
// Main thread only.

#include "corbel/ui/CorbelBrand.hpp"
#include "corbel/ui/KitView.hpp"
#include "corbel/ui/LoginItem.hpp"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace corbel {

class DefaultActionKeys;
class KitButton;
class KitSwitch;
class PrivacyLine;
class TextLabel;

struct WelcomeLayoutProps {
    QString title{};
    QString subtitle{};
    QString privacy{};
    QString privacySymbol{};

    bool operator==(const WelcomeLayoutProps&) const = default;
};

class WelcomeLayout : public KitView<WelcomeLayoutProps> {
public:
    static constexpr int layoutWidth = 480;
    static constexpr int layoutPadding = 24;

    // The extra widgets stand between the headline and the card (none leaves no gap); the
    // permission widgets, as a rule PermissionRows, fill the card. All are owned by the layout.
    WelcomeLayout(Props props, CorbelBrand brand, std::vector<QWidget*> permissions,
                  std::vector<QWidget*> extra = {}, QWidget* parent = nullptr);
    ~WelcomeLayout() override;

    // Run by "Get Started" and by Return.
    void setStart(std::function<void()> start);

    // As tall as the wrapped texts need at the layout's width, so a window can take this size.
    QSize sizeHint() const override;

    KitSwitch& loginSwitch() const noexcept { return *loginSwitch_; }
    KitButton& startButton() const noexcept { return *start_; }
    QWidget& card() const noexcept { return *card_; }

protected:
    void propsChanged() override;
    void paletteChanged() override;
    void showEvent(QShowEvent* event) override;

private:
    void refresh();
    void runStart();

    CorbelBrand brand_;
    std::optional<LoginItem::Binding> login_;
    TextLabel* title_;
    TextLabel* subtitle_;
    QWidget* card_;
    PrivacyLine* privacyLine_;
    PrivacyLine* ownPrivacyLine_;
    TextLabel* loginLabel_;
    KitSwitch* loginSwitch_;
    KitButton* start_;
    DefaultActionKeys* defaultKeys_;
    std::function<void()> startAction_;
};

} // namespace corbel
