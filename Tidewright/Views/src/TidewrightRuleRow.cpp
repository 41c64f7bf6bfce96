#include "tidewright/views/TidewrightRuleRow.hpp"

#include "ViewParts.hpp"
#include "corbel/ui/AccessibilityTextSize.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/KitMenuButton.hpp"

#include <QMenu> // the menu button's QPointer<QMenu> needs the whole type
#include "corbel/ui/PreferencesStyles.hpp"
#include "corbel/ui/TextLabel.hpp"
#include "tidewright/views/TidewrightCopy.hpp"
#include "tidewright/views/TidewrightShortcutPresentation.hpp"

#include <QEvent>

namespace tidewright {
namespace {

constexpr int rowSpacing = 12;
constexpr int stackedSpacing = 8;
constexpr int verticalMargin = 4;
constexpr int leastHeight = 44;
const QString removeEntry = QStringLiteral("remove");

// The action menu as tools read it: "Action for Files", its action as the value, and a named
// action that removes the rule.
class RuleActionMenu final : public corbel::KitMenuButton {
public:
    using KitMenuButton::KitMenuButton;

    void setReading(QString label, QString value, QString removeName) {
        label_ = std::move(label);
        value_ = std::move(value);
        removeName_ = std::move(removeName);
    }
    void setOnRemove(std::function<void()> onRemove) { onRemove_ = std::move(onRemove); }

    QString accessibleLabel() const override { return label_; }
    QString accessibleValue() const override { return value_; }
    QStringList accessibleActionNames() const override { return {removeName_}; }
    void accessibleDoAction(const QString& name) override {
        if (name == removeName_ && onRemove_) {
            onRemove_();
        }
    }

private:
    QString label_;
    QString value_;
    QString removeName_;
    std::function<void()> onRemove_;
};

} // namespace

TidewrightRuleRow::TidewrightRuleRow(Props props, QWidget* parent) : KitView(std::move(props), parent) {
    box_ = views::bareLayout(QBoxLayout::LeftToRight, this, rowSpacing);
    box_->setContentsMargins(0, verticalMargin, 0, verticalMargin);

    auto* nameRow = new views::Container(this);
    nameRow->setReading(views::Container::Reading::hidden);
    QBoxLayout* names = views::bareLayout(QBoxLayout::LeftToRight, nameRow, rowSpacing);
    icon_ = new views::IconFrame(iconSide, nameRow);
    names->addWidget(icon_, 0, Qt::AlignVCenter);
    name_ = new corbel::TextLabel({.role = corbel::CorbelFont::support, .accessibilityHidden = true}, nameRow);
    QSizePolicy wrapping(QSizePolicy::Expanding, QSizePolicy::Preferred);
    wrapping.setHeightForWidth(true);
    name_->setSizePolicy(wrapping);
    names->addWidget(name_, 1, Qt::AlignVCenter);
    nameRow->setSizePolicy(wrapping);
    nameRow_ = nameRow;
    box_->addWidget(nameRow_, 1);

    auto* menu = new RuleActionMenu({}, this);
    corbel::preferencesMenuStyle(*menu);
    menu_ = menu;
    box_->addWidget(menu_);
    setMinimumHeight(leastHeight);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    refresh();
}

TidewrightRuleRow::~TidewrightRuleRow() = default;

void TidewrightRuleRow::setOnChange(std::function<void(OpeningAction)> onChange) {
    menu_->setOnSelect([onChange = std::move(onChange)](int index) {
        if (onChange && index >= 0 && static_cast<std::size_t>(index) < allOpeningActions.size()) {
            onChange(allOpeningActions[static_cast<std::size_t>(index)]);
        }
    });
}

void TidewrightRuleRow::setOnRemove(std::function<void()> onRemove) {
    menu_->setOnEntry([onRemove](const QString& id) {
        if (id == removeEntry && onRemove) {
            onRemove();
        }
    });
    static_cast<RuleActionMenu*>(menu_)->setOnRemove(std::move(onRemove));
}

int TidewrightRuleRow::heightForWidth(int width) const {
    return std::max(leastHeight, layout()->totalHeightForWidth(width));
}

void TidewrightRuleRow::refresh() {
    const QLocale shown = locale();
    const TidewrightRulePresentation& rule = props().rule;
    static_cast<views::IconFrame*>(icon_)->setIcon(rule.icon);
    corbel::TextLabel::Props name = name_->props();
    name.text = rule.name;
    name_->setProps(name);

    const QString current = localizedCopy(openingActionText(rule.action), shown);
    corbel::KitMenuButton::Props menu = menu_->props();
    menu.title = current;
    menu.options.clear();
    menu.titleRoom.clear();
    menu.selected = -1;
    for (OpeningAction action : allOpeningActions) {
        const QString text = localizedCopy(openingActionText(action), shown);
        if (action == rule.action) {
            menu.selected = static_cast<int>(menu.options.size());
        }
        menu.options.append(text);
        menu.titleRoom.append(text); // the menu keeps the wider text's width whichever is chosen
    }
    menu.entries = {{.kind = corbel::KitMenuEntry::Kind::divider},
                    {.kind = corbel::KitMenuEntry::Kind::button,
                     .id = removeEntry,
                     .text = localizedCopy(TidewrightCopy::remove, shown)}};
    menu_->setProps(menu);
    static_cast<RuleActionMenu*>(menu_)->setReading(
        localizedCopy(TidewrightCopy::ruleAction, shown) + QLatin1Char(' ') + rule.name, current,
        localizedCopy(TidewrightCopy::removeRule, shown) + QLatin1Char(' ') + rule.name);

    // One layout that turns: the row, its menu and the menu's focus stay the same widgets.
    stacked_ = corbel::isAccessibilityTextSize(corbel::KitEnvironment::values(*this).textSizeFactor);
    box_->setDirection(stacked_ ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    box_->setSpacing(stacked_ ? stackedSpacing : rowSpacing);
    box_->setAlignment(nameRow_, stacked_ ? Qt::Alignment() : Qt::AlignVCenter);
    box_->setAlignment(menu_, stacked_ ? Qt::AlignRight : Qt::AlignVCenter);
    updateGeometry();
}

void TidewrightRuleRow::propsChanged() {
    refresh();
}

void TidewrightRuleRow::environmentChanged(corbel::KitEnvironmentKey key) {
    if (key == corbel::KitEnvironmentKey::textSizeFactor) {
        refresh();
    }
    KitView::environmentChanged(key);
}

void TidewrightRuleRow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) {
        refresh();
    }
    KitView::changeEvent(event);
}

} // namespace tidewright
