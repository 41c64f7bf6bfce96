#include "corbel/ui/LoginItem.hpp"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QObject>

#include <exception>
#include <stdexcept>
#include <utility>

namespace corbel {

namespace {

Q_LOGGING_CATEGORY(loginLog, "app.corbelthane.tidewright.login")

const QString ownerName = QStringLiteral("corbel.LoginItem");

// Holds the process-wide item as a child of the application, deleted when it quits: the item's
// observers are views, which must not outlive the application either.
class LoginItemOwner final : public QObject {
public:
    std::shared_ptr<LoginItem> item;

    static LoginItemOwner* find() {
        QCoreApplication* application = QCoreApplication::instance();
        return application != nullptr
                   ? application->findChild<LoginItemOwner*>(ownerName, Qt::FindDirectChildrenOnly)
                   : nullptr;
    }

    static LoginItemOwner& make(LoginItem::Backend backend) {
        QCoreApplication* application = QCoreApplication::instance();
        if (application == nullptr) {
            throw std::logic_error("the login item needs an application");
        }
        delete find();
        auto* owner = new LoginItemOwner;
        owner->item = LoginItem::make(std::move(backend));
        owner->setObjectName(ownerName);
        owner->setParent(application);
        QObject::connect(application, &QCoreApplication::aboutToQuit, owner, [owner] { delete owner; });
        return *owner;
    }
};

} // namespace

LoginItem& LoginItem::shared() {
    if (LoginItemOwner* owner = LoginItemOwner::find()) {
        return *owner->item;
    }
    return *LoginItemOwner::make({}).item;
}

LoginItem& LoginItem::install(Backend backend) {
    return *LoginItemOwner::make(std::move(backend)).item;
}

void LoginItem::reset() {
    delete LoginItemOwner::find();
}

void LoginItem::withdraw(const LoginItem& installed) {
    LoginItemOwner* owner = LoginItemOwner::find();
    if (owner != nullptr && owner->item.get() == &installed) {
        delete owner;
    }
}

LoginItem::Binding::Binding(std::function<void()> changed) {
    LoginItem& item = shared();
    item_ = item.weak_from_this();
    subscription_ = item.subscribe([changed = std::move(changed)](bool) { changed(); });
}

bool LoginItem::Binding::isEnabled() const {
    const std::shared_ptr<LoginItem> item = item_.lock();
    return item != nullptr && item->isEnabled();
}

void LoginItem::Binding::setEnabled(bool enabled) const {
    if (const std::shared_ptr<LoginItem> item = item_.lock()) {
        item->setEnabled(enabled);
    }
}

void LoginItem::Binding::refresh() const {
    if (const std::shared_ptr<LoginItem> item = item_.lock()) {
        item->refresh();
    }
}

std::shared_ptr<LoginItem> LoginItem::make(Backend backend) {
    if (backend.entry != nullptr && (backend.main == nullptr || backend.queue == nullptr)) {
        throw std::invalid_argument("a login item over an entry needs an executor and a queue");
    }
    return std::make_shared<LoginItem>(Token{}, std::move(backend));
}

LoginItem::LoginItem(Token, Backend backend) : backend_(std::move(backend)), enabled_(false) {
    enabled_.set(readState());
}

bool LoginItem::readState() const {
    return backend_.entry != nullptr && backend_.entry->status() == platform::loginItemStatus::enabled;
}

void LoginItem::store(bool enabled) {
    enabled_.set(enabled);
}

void LoginItem::refresh() {
    store(readState());
}

platform::Subscription LoginItem::subscribe(std::function<void(bool)> observer) {
    return enabled_.subscribe([observer = std::move(observer)](const bool& enabled) { observer(enabled); });
}

void LoginItem::logFailure(const QString& reason) const {
    qCCritical(loginLog, "login item change failed: %s", qUtf8Printable(reason));
}

void LoginItem::setEnabled(bool enabled) {
    if (backend_.entry == nullptr) {
        logFailure(QStringLiteral("no login item is set up"));
        refresh();
        return;
    }
    if (change_) {
        pending_ = enabled;
        return;
    }
    start(enabled);
}

void LoginItem::start(bool enabled) {
    change_ =
        platform::spawn(*backend_.main, [weak = weak_from_this(), enabled] { return change(weak, enabled); });
}

platform::Async<> LoginItem::change(std::weak_ptr<LoginItem> weak, bool enabled) {
    std::shared_ptr<const platform::AutostartLoginItem> entry;
    platform::WorkQueue* queue = nullptr;
    if (auto self = weak.lock()) {
        entry = self->backend_.entry;
        queue = self->backend_.queue;
    } else {
        co_return;
    }
    // The job captures only a pointer: g++ 12 destroys the captures of a lambda temporary inside
    // co_await twice. `entry` keeps it alive in this frame.
    const platform::AutostartLoginItem* target = entry.get();
    std::optional<QString> failure;
    try {
        co_await queue->run([target, enabled] {
            if (enabled) {
                target->registerItem();
            } else {
                target->unregisterItem();
            }
        });
    } catch (const std::exception& error) {
        failure = QString::fromStdString(error.what());
    } catch (...) {
        failure = QStringLiteral("unknown error");
    }
    auto self = weak.lock();
    if (!self) {
        co_return;
    }
    if (failure) {
        self->logFailure(*failure);
    }
    self->refresh();
    self->change_.reset();
    if (const std::optional<bool> next = std::exchange(self->pending_, std::nullopt)) {
        self->start(*next);
    }
}

} // namespace corbel
