#pragma once
// The step-by-step welcome: a header (icon, title, lead), the current step with its badge, title
// and optional counter of dots, a card with the caller's content, the privacy statements, an
// "Open at Login" switch, the skip, back and primary buttons and an optional note. It measures its
// step part and footer and asks the fixed window around it for the height they need; when the
// window cannot grow enough, the step part scrolls. Return runs the primary button. Main thread only.

#include "corbel/ui/CorbelBrand.hpp"
#include "corbel/ui/KitView.hpp"
#include "corbel/ui/WelcomeStepsButton.hpp"
#include "corbel/ui/WelcomeStepsSizing.hpp"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QScrollArea;

namespace corbel {

class DefaultActionKeys;
class PreferencesChrome;
class PreferencesToggleRow;
class PrivacyLine;
class TextLabel;
class WelcomeButton;

struct WelcomeStepsLayoutProps {
    QString title{};
    QString lead{};
    int step = 1; // from 1
    int stepCount = 1;
    std::optional<QString> stepLabel{}; // without it no counter is shown
    QString stepTitle{};
    bool isStepDone = false;
    QString privacy{};
    QString privacySymbol{};
    bool opensAtLogin = false;
    std::optional<WelcomeStepsButton> skip{};
    std::optional<WelcomeStepsButton> back{};
    WelcomeStepsButton primary{QString(), false, nullptr};
    std::optional<QString> note{};

    bool operator==(const WelcomeStepsLayoutProps&) const = default;
};

class WelcomeStepsLayout : public KitView<WelcomeStepsLayoutProps> {
public:
    // The card widgets are stacked in order on the card and owned by the layout.
    WelcomeStepsLayout(Props props, CorbelBrand brand, std::vector<QWidget*> card, QWidget* parent = nullptr);
    ~WelcomeStepsLayout() override;

    // Hears the value the user asks the "Open at Login" switch for; the owner answers by setting
    // `opensAtLogin`.
    void setOnOpensAtLoginChange(std::function<void(bool)> onChange);

    // As tall as both parts need, so a window can take this size.
    QSize sizeHint() const override;

    // The measured parts and the size they make, as last measured.
    const WelcomeStepsSizing& sizing() const noexcept { return sizing_; }
    // Measures both parts again and reports the size when it changed.
    void measure();

    // The pieces, for hosts and tests.
    PreferencesChrome& chrome() const noexcept { return *chrome_; }
    QWidget& stepPart() const noexcept { return *stepPart_; }
    QWidget& footer() const noexcept { return *footer_; }
    QScrollArea& stepScroller() const noexcept { return *scroller_; }
    QWidget& badge() const noexcept { return *badge_; }
    // Hidden without a step label.
    QWidget& counter() const noexcept { return *counter_; }
    TextLabel& note() const noexcept { return *note_; }
    PreferencesToggleRow& loginRow() const noexcept { return *loginRow_; }
    // Skip and back are hidden while their descriptors are absent.
    WelcomeButton& skipButton() const noexcept { return *skip_; }
    WelcomeButton& backButton() const noexcept { return *back_; }
    WelcomeButton& primaryButton() const noexcept { return *primary_; }

protected:
    void propsChanged() override;
    void environmentChanged(KitEnvironmentKey key) override;
    void paletteChanged() override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    void report(std::optional<QSizeF> size);

    CorbelBrand brand_;
    WelcomeStepsSizing sizing_;
    QWidget* stepPart_;
    QWidget* footer_;
    QScrollArea* scroller_;
    QWidget* column_;
    PreferencesChrome* chrome_;
    TextLabel* title_;
    TextLabel* lead_;
    QWidget* badge_;
    TextLabel* stepTitle_;
    QWidget* counter_;
    TextLabel* counterLabel_;
    QWidget* dots_;
    QWidget* card_;
    PrivacyLine* privacyLine_;
    PrivacyLine* ownPrivacyLine_;
    PreferencesToggleRow* loginRow_;
    WelcomeButton* skip_;
    WelcomeButton* back_;
    WelcomeButton* primary_;
    TextLabel* note_;
    DefaultActionKeys* defaultKeys_;
    std::function<void(bool)> onOpensAtLoginChange_;
};

} // namespace corbel
