#pragma once
// The end of a piece of async work, as a value: nothing yet, a value, or an error to rethrow.

#include <exception>
#include <type_traits>
#include <utility>
#include <variant>

namespace platform::detail {

template <class T>
class Outcome {
public:
    template <class... Args>
    void setValue(Args&&... value) {
        state_.template emplace<1>(std::forward<Args>(value)...);
    }
    void setError(std::exception_ptr error) noexcept { state_.template emplace<2>(std::move(error)); }

    // Runs work and keeps what it returns or throws.
    template <class F>
    void capture(F& work) noexcept {
        try {
            if constexpr (std::is_void_v<T>) {
                work();
                setValue();
            } else {
                setValue(work());
            }
        } catch (...) {
            setError(std::current_exception());
        }
    }

    // Returns the value, moved out, or rethrows the error.
    T take() {
        rethrowError();
        if constexpr (!std::is_void_v<T>) {
            return std::move(std::get<1>(state_));
        }
    }
    // Returns a copy of the value, or rethrows the error.
    T get() const {
        rethrowError();
        if constexpr (!std::is_void_v<T>) {
            return std::get<1>(state_);
        }
    }

private:
    using Value = std::conditional_t<std::is_void_v<T>, std::monostate, T>;

    void rethrowError() const {
        if (const auto* error = std::get_if<2>(&state_)) {
            std::rethrow_exception(*error);
        }
    }

    std::variant<std::monostate, Value, std::exception_ptr> state_;
};

} // namespace platform::detail
