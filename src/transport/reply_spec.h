// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "transport/callback.h"

namespace vantor {

// What a command waits for: where its reply lines go and which lines belong to it. Codes are
// named constants of the code that owns the command (they are views, not copies).
struct ReplySpec {
    std::shared_ptr<vantor::Callback> callback{};  // none: nothing is awaited
    vantor::Param param{};
    std::vector<std::string_view> codes{};  // a one-line answer, or a data line once started
    std::string_view start{};               // opens a multi-line reply; empty: it has none
    std::string_view end{};                 // closes a multi-line reply; empty: it has none
};

// The codes as the queue keeps them: one comma-separated list.
std::string JoinCodes(const std::vector<std::string_view>& codes);

// A standing intercept for as long as this object lives: its destruction (or Remove) takes the
// intercept out of the table, unless the code has been registered again since, or removed by
// its text, or the connection is gone. Moves; never copies.
class InterceptRegistration {
public:
    InterceptRegistration() = default;
    explicit InterceptRegistration(std::function<void()> remove) : remove_(std::move(remove)) {}
    ~InterceptRegistration() { Remove(); }
    InterceptRegistration(InterceptRegistration&& other) noexcept
        : remove_(std::exchange(other.remove_, nullptr)) {}
    InterceptRegistration& operator=(InterceptRegistration&& other) noexcept {
        if (this != &other) {
            Remove();
            remove_ = std::exchange(other.remove_, nullptr);
        }
        return *this;
    }
    InterceptRegistration(const InterceptRegistration&) = delete;
    InterceptRegistration& operator=(const InterceptRegistration&) = delete;

    void Remove() {
        auto remove = std::exchange(remove_, nullptr);
        if (remove) remove();
    }
    bool Held() const { return static_cast<bool>(remove_); }

private:
    std::function<void()> remove_;
};

}  // namespace vantor
