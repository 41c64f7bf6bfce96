#include "tidewright/core/RequestPolicy.hpp"

#include <limits>

namespace tidewright {

namespace {

template <typename... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};

// A hot key moves whatever window it finds; an opening rule only the windows of its own cycle's
// process, and never "whatever is main".
bool fits(const RequestTarget& target, const ActionOrigin& origin) {
    const auto* automatic = std::get_if<ActionOrigin::Automatic>(&origin.value);
    return std::visit(Overloaded{
                          [&](const RequestTarget::CurrentMain&) { return automatic == nullptr; },
                          [&](const RequestTarget::Identified& t) {
                              return automatic == nullptr || t.window.process == automatic->cycle.process;
                          },
                          [&](const RequestTarget::CorrelatedMain& t) {
                              return automatic != nullptr && t.cycle == automatic->cycle &&
                                     t.candidateID.process == automatic->cycle.process;
                          },
                      },
                      target.value);
}

} // namespace

WindowAction ActionOrigin::action() const noexcept {
    if (const auto* manual = std::get_if<Manual>(&value)) {
        return tidewright::action(manual->shortcut);
    }
    return windowAction(std::get<Automatic>(value).action);
}

const ProcessID& RequestTarget::process() const noexcept {
    return std::visit(Overloaded{
                          [](const CurrentMain& t) -> const ProcessID& { return t.process; },
                          [](const Identified& t) -> const ProcessID& { return t.window.process; },
                          [](const CorrelatedMain& t) -> const ProcessID& { return t.candidateID.process; },
                      },
                      value);
}

RequestStart RequestPolicy::begin(const RequestTarget& target, const ActionOrigin& origin,
                                  bool operationAllowed) {
    if (!operationAllowed || !fits(target, origin)) {
        pending_.reset();
        return RequestStart::blocked();
    }
    if (pending_ && pending_->target == target && pending_->origin == origin) {
        return RequestStart::alreadyPending(*pending_);
    }
    // The ordinal does not wrap: a wrapped ordinal could match a request still in flight.
    if (lastOrdinal_ == std::numeric_limits<std::uint64_t>::max()) {
        pending_.reset();
        return RequestStart::identityExhausted();
    }
    ++lastOrdinal_;
    pending_ = WindowRequest{RequestID{lastOrdinal_}, target, origin};
    return RequestStart::started(*pending_);
}

bool RequestPolicy::accepts(const WindowRequest& request, const std::optional<RequestTarget>& currentTarget,
                            bool operationAllowed) {
    if (!pending_ || *pending_ != request) {
        return false;
    }
    if (operationAllowed && currentTarget == request.target) {
        return true;
    }
    pending_.reset();
    return false;
}

bool RequestPolicy::finish(const WindowRequest& request, const std::optional<RequestTarget>& currentTarget,
                           bool operationAllowed) {
    const bool accepted = accepts(request, currentTarget, operationAllowed);
    if (accepted) {
        pending_.reset();
    }
    return accepted;
}

} // namespace tidewright
