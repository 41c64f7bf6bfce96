#pragma once
// The hook that holds its object weakly: it calls the member function while the object lives and
// does nothing once it is gone, so a service never keeps alive whoever listens to it.

#include <memory>
#include <utility>

namespace platform {

// A callable that passes its arguments on to (object->*method); the method's result is dropped.
// REQUIRES: called on the thread that owns the object.
template <class T, class Method>
auto weakCall(std::weak_ptr<T> weak, Method method) {
    return [weak = std::move(weak), method](auto&&... arguments) {
        if (const std::shared_ptr<T> object = weak.lock()) {
            ((*object).*method)(std::forward<decltype(arguments)>(arguments)...);
        }
    };
}

} // namespace platform
