#include "DefaultActionKeys.hpp"

#include <QShortcut>
#include <QWidget>

namespace corbel {

DefaultActionKeys::DefaultActionKeys(QWidget& host, std::function<void()> action)
    : QObject(&host), action_(std::move(action)),
      returnKey_(new QShortcut(QKeySequence(Qt::Key_Return), &host)),
      enterKey_(new QShortcut(QKeySequence(Qt::Key_Enter), &host)) {
    for (QShortcut* key : {returnKey_, enterKey_}) {
        key->setContext(Qt::WindowShortcut);
        QObject::connect(key, &QShortcut::activated, this, [this] {
            if (enabled_ && action_) {
                action_();
            }
        });
    }
}

void DefaultActionKeys::setEnabled(bool enabled) {
    enabled_ = enabled;
    returnKey_->setEnabled(enabled);
    enterKey_->setEnabled(enabled);
}

} // namespace corbel
