#pragma once
// One checklist row of the step-by-step welcome: an icon for the step's state, the caller's
// explanation, a celebration once the step is done, and a button that acts on it while it is not.

#include "corbel/ui/ColorScheme.hpp"
#include "corbel/ui/CorbelBrand.hpp"
#include "corbel/ui/KitView.hpp"
#include "corbel/ui/WelcomeStepsButton.hpp"

#include <QColor>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace corbel {

class SymbolView;
class TextLabel;
class WelcomeButton;

enum class WelcomeStepState {
    todo,
    done,
    attention,
};

// The state icon: an empty circle, a filled checkmark in the done green, a warning triangle.
QStringView welcomeStepSymbol(WelcomeStepState state) noexcept;
QColor welcomeStepColor(WelcomeStepState state, ColorScheme scheme, bool increasedContrast = false);

struct WelcomeStepRowProps {
    WelcomeStepState state = WelcomeStepState::todo;
    std::optional<QString> celebration{};       // shown only once the step is done
    std::optional<WelcomeStepsButton> action{}; // shown only while it is not

    bool operator==(const WelcomeStepRowProps&) const = default;
};

class WelcomeStepRow : public KitView<WelcomeStepRowProps> {
public:
    // The detail widgets are shown in order under the celebration and owned by the row; kit text
    // without a colour of its own takes the support colour.
    WelcomeStepRow(Props props, CorbelBrand brand, std::vector<QWidget*> detail, QWidget* parent = nullptr);
    ~WelcomeStepRow() override;

    // The visible pieces, for hosts and tests.
    const SymbolView& icon() const noexcept { return *icon_; }
    const TextLabel& celebration() const noexcept { return *celebration_; }
    const WelcomeButton& actionButton() const noexcept { return *action_; }
    bool showsCelebration() const;
    bool showsAction() const;

protected:
    void propsChanged() override;
    void environmentChanged(KitEnvironmentKey key) override;
    void paletteChanged() override;

private:
    void refresh();

    CorbelBrand brand_;
    SymbolView* icon_;
    TextLabel* celebration_;
    QWidget* detail_;
    QWidget* actionBox_;
    WelcomeButton* action_;
};

} // namespace corbel
