// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <stdexcept>

#include "session/wolcon.h"
#include "support/fake_settings.h"
#include "support/loopback_peer.h"
#include "support/pump.h"
#include "transport/wolcon2.h"

namespace vantor {
namespace {

// A box raised from a handler runs a nested event loop whose ticks would start the pass again;
// the session says it is in its pass so that they leave it alone.
TEST(WOLCon, aSessionIsRefusedOnlyInsideItsOwnPassAndFreedWhenThePassThrows) {
    test::FakeSettings settings;
    SetSettingsSource(&settings);
    test::LoopbackPeer peer;
    WOLCon a;
    WOLCon b;
    ASSERT_TRUE(a.connect(peer.Port()));
    ASSERT_TRUE(peer.Accept());

    int calls = 0;
    bool aInside = false;
    bool bInside = true;
    bool fail = false;
    const auto handler = MakeCallback([&](const std::string&, Delivery, const Param&) {
        ++calls;
        aInside = a.InPass();  // a nested tick skips it
        bInside = b.InPass();
        if (fail) throw std::runtime_error("pass failed");
    });
    const InterceptRegistration held = a.RegisterIntercept("NOTICE", handler);

    EXPECT_FALSE(a.InPass());
    peer.SendLine(":s NOTICE bob :one");
    ASSERT_TRUE(test::PumpUntil([&] { return calls == 1; }, [&] { a.PopulateBuff(); }));
    EXPECT_TRUE(aInside);
    EXPECT_FALSE(bInside);
    EXPECT_FALSE(a.InPass());

    fail = true;
    peer.SendLine(":s NOTICE bob :two");
    bool thrown = false;
    ASSERT_TRUE(test::PumpUntil([&] { return calls == 2; },
                                [&] {
                                    try {
                                        a.PopulateBuff();
                                    } catch (const std::runtime_error&) {
                                        thrown = true;
                                    }
                                }));
    EXPECT_TRUE(thrown);
    EXPECT_FALSE(a.InPass());
    SetSettingsSource(nullptr);
}

}  // namespace
}  // namespace vantor
