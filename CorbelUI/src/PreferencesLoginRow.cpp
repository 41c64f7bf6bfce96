#include "corbel/ui/PreferencesLoginRow.hpp"

#include "corbel/ui/KitLabels.hpp"
#include "corbel/ui/LoginItem.hpp"
#include "corbel/ui/PreferencesRows.hpp"

#include <QEvent>
#include <QVBoxLayout>

namespace corbel {

PreferencesLoginRow::PreferencesLoginRow(QWidget* parent) : QWidget(parent) {
    row_ = new PreferencesToggleRow({}, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(row_);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    login_.emplace([this] { refresh(); });
    row_->setOnToggle([this](bool enabled) { login_->setEnabled(enabled); });
    refresh();
}

PreferencesLoginRow::~PreferencesLoginRow() = default;

int PreferencesLoginRow::heightForWidth(int width) const {
    return row_->heightForWidth(width);
}

void PreferencesLoginRow::refresh() {
    row_->setProps({.title = kitLabel(KitLabel::openAtLogin, locale()),
                    .note = std::nullopt,
                    .isOn = login_->isEnabled()});
}

void PreferencesLoginRow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) {
        refresh();
    }
    QWidget::changeEvent(event);
}

} // namespace corbel
