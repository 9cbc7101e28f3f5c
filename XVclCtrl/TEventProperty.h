#pragma once
// An event property: a handler that the owner assigns (or clears) on the main thread and that
// is only ever called there. Whether a handler is assigned can also be asked from the monitor
// thread, so that flag is kept atomically beside the handler.

#include <atomic>
#include <cstddef>
#include <functional>
#include <utility>

namespace XVclCtrl {

template <class Signature> class TEventProperty;

template <class... Args> class TEventProperty<void(Args...)> {
public:
    using THandler = std::function<void(Args...)>;

    TEventProperty() = default;
    TEventProperty(const TEventProperty&) = delete;
    TEventProperty& operator=(const TEventProperty&) = delete;

    TEventProperty& operator=(THandler handler) {
        Handler = std::move(handler);
        IsAssigned.store(static_cast<bool>(Handler), std::memory_order_release);
        return *this;
    }
    TEventProperty& operator=(std::nullptr_t) { return *this = THandler(); }

    // Safe from any thread.
    bool Assigned() const { return IsAssigned.load(std::memory_order_acquire); }
    explicit operator bool() const { return Assigned(); }

    // Main thread only; calls nothing when no handler is assigned. The handler runs from a
    // copy, so it may reassign or clear its own event while it runs.
    void operator()(Args... args) const {
        THandler handler = Handler;
        if (handler) handler(std::forward<Args>(args)...);
    }

private:
    THandler Handler;
    std::atomic<bool> IsAssigned{false};
};

} // namespace XVclCtrl
