// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "diagnostics/debug_log.h"
#include "platform/socket_layer.h"
#include "settings/settings_store.h"
#include "support/debug_recorder.h"
#include "support/loopback_peer.h"
#include "support/pump.h"
#include "support/temp_registry.h"
#include "transport/wolcon2.h"

namespace vantor::test {

struct Delivered {
    std::string line;
    Delivery kind;
    int param;  // -1 when the Param held no int
};

// A transport pointed at a loopback peer, with its debug log and deliveries recorded.
class TransportTest : public ::testing::Test {
protected:
    void SetUp() override {
        SaveSettingString("ServerHost", "127.0.0.1");
        SaveSettingLong("ShowDebugWin", 1);
        SetDebugWindowFactory([log = log_] { return std::make_unique<RecordingWindow>(log); });
        InitDebug();
        con_ = std::make_unique<WOLCon2>();
        con_->Error = [this](ErrorCode code) { errors_.push_back(code); };
        con_->ReceivedPage = [this](const std::string& line) { pages_.push_back(line); };
    }
    void TearDown() override {
        con_.reset();
        ShutDownDebug();
        SetDebugWindowFactory(nullptr);
    }

    bool Connect() { return con_->connect(peer_.Port()) && peer_.Accept(); }

    // A callback that records what it gets; `Param` ints are recorded, anything else as -1.
    // The fixture owns it, as a window owns its callbacks: the transport only refers to it.
    std::shared_ptr<Callback> Recorder() {
        return Keep(MakeCallback([this](const std::string& line, Delivery kind, const Param& p) {
            const int* n = std::any_cast<int>(&p);
            got_.push_back({line, kind, n ? *n : -1});
        }));
    }
    std::shared_ptr<Callback> Keep(std::shared_ptr<Callback> cb) {
        owned_.push_back(cb);
        return cb;
    }
    // Intercepts stay registered for the whole test, unless it removes them by code.
    void Hold(InterceptRegistration registration) { held_.push_back(std::move(registration)); }

    // Receive passes until `done` holds (bounded).
    bool PassUntil(const std::function<bool()>& done) {
        return PumpUntil(done, [this] {
            if (con_) con_->PopulateBuff();
        });
    }
    bool PassUntilDelivered(std::size_t n) {
        return PassUntil([&] { return got_.size() >= n; });
    }
    // Every delivery as "line=param", joined by "|".
    std::string GotLines() const {
        std::string out;
        for (const Delivered& d : got_)
            out += (out.empty() ? "" : "|") + d.line + "=" + std::to_string(d.param);
        return out;
    }
    bool Logged(const std::string& text, int kind) const { return HasEntry(*log_, text, kind); }
    bool PassUntilLogged(const std::string& text, int kind) {
        return PassUntil([&] { return Logged(text, kind); });
    }

    ScopedRegistry registry_;
    std::shared_ptr<LogEntries> log_ = std::make_shared<LogEntries>();
    LoopbackPeer peer_;
    std::unique_ptr<WOLCon2> con_;
    std::vector<std::shared_ptr<Callback>> owned_;
    std::vector<InterceptRegistration> held_;
    std::vector<Delivered> got_;
    std::vector<ErrorCode> errors_;
    std::vector<std::string> pages_;
};

}  // namespace vantor::test
