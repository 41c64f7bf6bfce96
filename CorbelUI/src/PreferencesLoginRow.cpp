#include "corbel/ui/PreferencesLoginRow.hpp"

#include "corbel/ui/KitLabels.hpp"
#include "corbel/ui/LoginItem.hpp"
#include "corbel/ui/PreferencesRows.hpp"

#include <QEvent>
#include <QVBoxLayout>

namespace corbel {

PreferencesLoginRow::PreferencesLoginRow(QWidget* parent) : QWidget(parent) {
    LoginItem& item = LoginItem::shared();
    item_ = item.weak_from_this();
    row_ = new PreferencesToggleRow({}, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(row_);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    row_->setOnToggle([this](bool enabled) {
        // The switch moves when the item reads the new state back, not before. A row that
        // outlives the shared item changes nothing.
        if (const std::shared_ptr<LoginItem> login = item_.lock()) {
            login->setEnabled(enabled);
        }
    });
    subscription_ = item.subscribe([this](bool) { refresh(); });
    refresh();
}

PreferencesLoginRow::~PreferencesLoginRow() = default;

int PreferencesLoginRow::heightForWidth(int width) const {
    return row_->heightForWidth(width);
}

void PreferencesLoginRow::refresh() {
    const std::shared_ptr<LoginItem> login = item_.lock();
    row_->setProps({.title = kitLabel(KitLabel::openAtLogin, locale()),
                    .note = std::nullopt,
                    .isOn = login != nullptr && login->isEnabled()});
}

void PreferencesLoginRow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) {
        refresh();
    }
    QWidget::changeEvent(event);
}

} // namespace corbel
