#include "corbel/ui/KitEnvironment.hpp"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

#include <vector>

namespace corbel {
namespace {

KitEnvironment* ownEnvironment(const QWidget& widget) {
    for (QObject* child : widget.children()) {
        if (auto* environment = dynamic_cast<KitEnvironment*>(child)) {
            return environment;
        }
    }
    return nullptr;
}

} // namespace

KitEnvironmentChangeEvent::KitEnvironmentChangeEvent(KitEnvironmentKey key)
    : QEvent(eventType()), key_(key) {}

KitEnvironmentChangeEvent::~KitEnvironmentChangeEvent() = default;

QEvent::Type KitEnvironmentChangeEvent::eventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

KitEnvironment::KitEnvironment(QWidget& host) : QObject(&host), host_(host) {}

KitEnvironment& KitEnvironment::of(QWidget& host) {
    if (KitEnvironment* existing = ownEnvironment(host)) {
        return *existing;
    }
    return *new KitEnvironment(host);
}

KitEnvironmentValues KitEnvironment::values(const QWidget& widget) {
    KitEnvironmentValues result;
    bool keyboardUsed = false, notifier = false, fixedSize = false, factor = false, contrast = false;
    for (const QWidget* at = &widget; at != nullptr; at = at->parentWidget()) {
        const KitEnvironment* environment = ownEnvironment(*at);
        if (environment == nullptr) {
            continue;
        }
        if (!keyboardUsed && environment->keyboardUsed_) {
            result.keyboardUsed = *environment->keyboardUsed_;
            keyboardUsed = true;
        }
        if (!notifier && environment->updateNotifier_) {
            result.updateNotifier = *environment->updateNotifier_;
            notifier = true;
        }
        if (!fixedSize && environment->fixedWindowSize_) {
            result.fixedWindowSize = *environment->fixedWindowSize_;
            fixedSize = true;
        }
        if (!factor && environment->textSizeFactor_) {
            result.textSizeFactor = *environment->textSizeFactor_;
            factor = true;
        }
        if (!contrast && environment->increasedContrast_) {
            result.increasedContrast = *environment->increasedContrast_;
            contrast = true;
        }
    }
    return result;
}

void KitEnvironment::setKeyboardUsed(bool used) {
    if (keyboardUsed_ != used) {
        keyboardUsed_ = used;
        changed(KitEnvironmentKey::keyboardUsed);
    }
}

void KitEnvironment::setUpdateNotifier(UpdateNotifier* notifier) {
    if (updateNotifier_ != notifier) {
        updateNotifier_ = notifier;
        changed(KitEnvironmentKey::updateNotifier);
    }
}

void KitEnvironment::setFixedWindowSize(std::optional<FixedWindowSizeReport> report) {
    fixedWindowSize_ = std::move(report);
    changed(KitEnvironmentKey::fixedWindowSize);
}

void KitEnvironment::setTextSizeFactor(double factor) {
    if (textSizeFactor_ != factor) {
        textSizeFactor_ = factor;
        changed(KitEnvironmentKey::textSizeFactor);
    }
}

void KitEnvironment::setIncreasedContrast(bool increased) {
    if (increasedContrast_ != increased) {
        increasedContrast_ = increased;
        changed(KitEnvironmentKey::increasedContrast);
    }
}

void KitEnvironment::clear(KitEnvironmentKey key) {
    bool wasSet = false;
    switch (key) {
    case KitEnvironmentKey::keyboardUsed:
        wasSet = keyboardUsed_.has_value();
        keyboardUsed_.reset();
        break;
    case KitEnvironmentKey::updateNotifier:
        wasSet = updateNotifier_.has_value();
        updateNotifier_.reset();
        break;
    case KitEnvironmentKey::fixedWindowSize:
        wasSet = fixedWindowSize_.has_value();
        fixedWindowSize_.reset();
        break;
    case KitEnvironmentKey::textSizeFactor:
        wasSet = textSizeFactor_.has_value();
        textSizeFactor_.reset();
        break;
    case KitEnvironmentKey::increasedContrast:
        wasSet = increasedContrast_.has_value();
        increasedContrast_.reset();
        break;
    }
    if (wasSet) {
        changed(key);
    }
}

void KitEnvironment::changed(KitEnvironmentKey key) {
    // Collected first and guarded: a receiver may delete widgets while it handles the change.
    std::vector<QPointer<QWidget>> receivers{QPointer<QWidget>(&host_)};
    for (QWidget* child : host_.findChildren<QWidget*>()) {
        receivers.emplace_back(child);
    }
    for (const QPointer<QWidget>& receiver : receivers) {
        if (receiver != nullptr) {
            KitEnvironmentChangeEvent event(key);
            QCoreApplication::sendEvent(receiver.data(), &event);
        }
    }
}

} // namespace corbel
