// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <utility>

namespace vantor {

// The one way, below the Qt windows, to survive a call-out that destroys its caller. The owner
// keeps a Liveness member (declared last, so it ends before the other members go); a method that
// calls out takes a Watch first and returns at once when the Watch says the owner is gone:
//
//     const auto alive = alive_.watch();
//     CallCopy(Event, args);
//     if (!alive()) return;
//
// Renew ends every Watch handed out so far while the owner lives on: a run that a call-out
// cancelled or restarted sees itself gone. Qt windows use QPointer<Self>(this) instead, Qt's own
// check, in the same places.
class Liveness {
public:
    class Watch {
    public:
        Watch() = default;
        bool alive() const { return flag_ && *flag_; }
        bool operator()() const { return alive(); }

    private:
        friend class Liveness;
        explicit Watch(std::shared_ptr<const bool> flag) : flag_(std::move(flag)) {}
        std::shared_ptr<const bool> flag_;
    };

    Liveness() = default;
    ~Liveness() { *flag_ = false; }
    Liveness(const Liveness&) = delete;
    Liveness& operator=(const Liveness&) = delete;

    Watch watch() const { return Watch(flag_); }

    void Renew() {
        *flag_ = false;
        flag_ = std::make_shared<bool>(true);
    }

private:
    std::shared_ptr<bool> flag_ = std::make_shared<bool>(true);
};

// Calls an event handler through a copy: the handler may replace or destroy the std::function
// it runs from (its owner going away with it). An empty handler is not called and gives a
// default result.
template <typename Handler, typename... Args>
auto CallCopy(const Handler& handler, Args&&... args)
    -> decltype(handler(std::forward<Args>(args)...)) {
    using Result = decltype(handler(std::forward<Args>(args)...));
    if (!handler) return Result();
    const Handler copy = handler;
    return copy(std::forward<Args>(args)...);
}

}  // namespace vantor
