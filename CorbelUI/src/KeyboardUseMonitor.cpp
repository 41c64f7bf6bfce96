#include "corbel/ui/KeyboardUseMonitor.hpp"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QObject>

namespace corbel {
namespace {

bool isModifierKey(int key) {
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_Mode_switch:
        return true;
    default:
        return false;
    }
}

class KeyDownFilter : public QObject {
public:
    explicit KeyDownFilter(KeyDownHandler handler) : handler_(std::move(handler)) {}

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            // A press reaches its window once and is then forwarded down the widget tree (and back
            // up as parents are offered it); only the window's delivery counts.
            if (!receiver->isWindowType() || isModifierKey(static_cast<QKeyEvent*>(event)->key())) {
                return false;
            }
            return handler_(*event) == KeyDelivery::drop;
        case QEvent::Shortcut:
            return handler_(*event) == KeyDelivery::drop;
        default:
            return false;
        }
    }

private:
    KeyDownHandler handler_;
};

} // namespace

std::shared_ptr<void> ApplicationKeyDownMonitors::addLocalMonitor(KeyDownHandler handler) {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr) {
        return nullptr;
    }
    auto filter = std::make_shared<KeyDownFilter>(std::move(handler));
    application->installEventFilter(filter.get());
    return filter;
}

void ApplicationKeyDownMonitors::removeMonitor(const std::shared_ptr<void>& handle) {
    if (QCoreApplication* application = QCoreApplication::instance(); application != nullptr && handle) {
        application->removeEventFilter(static_cast<KeyDownFilter*>(handle.get()));
    }
}

KeyboardUseMonitor::KeyboardUseMonitor()
    : KeyboardUseMonitor([]() -> LocalKeyDownMonitoring& {
          static ApplicationKeyDownMonitors monitors;
          return monitors;
      }()) {}

KeyboardUseMonitor::KeyboardUseMonitor(LocalKeyDownMonitoring& platform) : platform_(platform) {}

void KeyboardUseMonitor::start(KeyDownHandler handler) {
    if (token_) {
        return;
    }
    token_ = platform_.addLocalMonitor(std::move(handler));
}

void KeyboardUseMonitor::stop() {
    if (token_) {
        platform_.removeMonitor(token_);
    }
    token_.reset();
}

} // namespace corbel
