#include "tidewright/windowcontrol/HotkeyService.hpp"

#include <stdexcept>

#include "platform/concurrency/WeakCall.hpp"

namespace tidewright {

std::shared_ptr<HotkeyService> HotkeyService::make(std::shared_ptr<FixedHotkeyRegistering> registrar,
                                                   std::shared_ptr<VoiceOverReading> voiceOver) {
    if (registrar == nullptr || voiceOver == nullptr) {
        throw std::invalid_argument("HotkeyService needs a registrar and a screen-reader source");
    }
    auto service = std::make_shared<HotkeyService>(Token{}, std::move(registrar), std::move(voiceOver));
    std::weak_ptr<HotkeyService> weak = service;
    service->voiceOver_->onChange = platform::weakCall(weak, &HotkeyService::voiceOverChanged);
    service->registrar_->onShortcut = platform::weakCall(weak, &HotkeyService::pressed);
    return service;
}

HotkeyService::HotkeyService(Token, std::shared_ptr<FixedHotkeyRegistering> registrar,
                             std::shared_ptr<VoiceOverReading> voiceOver)
    : registrar_(std::move(registrar)), voiceOver_(std::move(voiceOver)) {}

void HotkeyService::apply(const std::unordered_set<FixedShortcut>& desired) {
    desired_ = desired;
    if (!observing_) {
        // Read here only on the first apply after creation or stop(); afterwards the change
        // handling keeps it.
        observing_ = true;
        voiceOver_->start();
        assistiveNavigation_ = voiceOver_->isEnabled();
    }
    for (FixedShortcut shortcut : allFixedShortcuts) {
        if (!desired_.contains(shortcut)) {
            registrar_->unregisterShortcut(shortcut);
            registrations_.erase(shortcut);
        } else if (assistiveNavigation_) {
            registrar_->unregisterShortcut(shortcut);
            registrations_[shortcut] = ShortcutRegistration::unavailable;
        } else if (!registrations_.contains(shortcut)) {
            registrations_[shortcut] = registrar_->registerShortcut(shortcut)
                                           ? ShortcutRegistration::registered
                                           : ShortcutRegistration::unavailable;
        }
    }
}

void HotkeyService::stop() {
    observing_ = false;
    voiceOver_->stop();
    desired_.clear();
    registrations_.clear();
    registrar_->unregisterAll();
}

void HotkeyService::voiceOverChanged() {
    if (!observing_ || voiceOver_->isEnabled() == assistiveNavigation_) {
        return;
    }
    assistiveNavigation_ = voiceOver_->isEnabled();
    registrations_.clear();
    const std::unordered_set<FixedShortcut> desired = desired_;
    apply(desired);
    if (onChange) {
        onChange();
    }
}

void HotkeyService::pressed(FixedShortcut shortcut) {
    auto state = registrations_.find(shortcut);
    if (state != registrations_.end() && state->second == ShortcutRegistration::registered && onShortcut) {
        onShortcut(shortcut);
    }
}

} // namespace tidewright
