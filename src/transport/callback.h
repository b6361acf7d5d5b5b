// SPDX-License-Identifier: MIT
#pragma once

#include <any>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "common/liveness.h"

namespace vantor {

// A caller's value handed back unchanged with every delivery: empty, a number, a flag, or an
// object (a page window is passed as std::weak_ptr so a closed window is simply gone).
using Param = std::any;

// The role a delivered line plays in its reply.
enum class Delivery : int {
    Data = 0,         // a line of a multi-line reply that has started
    Start = 1,        // the start line of the reply
    End = 2,          // the end line; the entry has been removed
    Answer = 3,       // a one-line answer; the entry has been removed
    Intercepted = 4,  // a line taken by an intercept
    Expired = 5,      // no answer came in time; the entry has been removed, the line is empty
};

// One consumer of replies. Consumers own their Callback objects through shared_ptr; the reply
// queue and the intercept table hold weak references, so a consumer that goes away while a reply
// is still queued is simply not called.
class Callback {
public:
    using Handler = std::function<void(const std::string& line, Delivery kind, const Param& param)>;

    Callback() = default;
    explicit Callback(Handler handler) : handler_(std::move(handler)) {}

    void SetHandler(Handler handler) { handler_ = std::move(handler); }

    // Raises the Callback event. The handler may destroy this object's owner: it is copied first.
    void Raise(const std::string& line, Delivery kind, const Param& param) {
        CallCopy(handler_, line, kind, param);
    }

private:
    Handler handler_;
};

inline std::shared_ptr<Callback> MakeCallback(Callback::Handler handler) {
    return std::make_shared<Callback>(std::move(handler));
}

}  // namespace vantor
