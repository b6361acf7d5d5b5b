// SPDX-License-Identifier: MIT
// "Pages from buddies only" with the main window's buddy list as it stands.
#include <gtest/gtest.h>

#include "app_fixture.h"
#include "pages/page_router.h"
#include "session/wolcon.h"

namespace vantor::test {
namespace {

// A buddy, in any letter case, pages through; a stranger does not, and a stranger's invitation
// is still declined. Turned off, a stranger pages through too.
TEST(PagesFromBuddiesOnly, letsTheBuddyListThroughAndDeclinesStrangersInvitations) {
    MainWindowFixture f;
    SaveSettingLong("PagesFromBuddiesOnly", 1);
    ASSERT_TRUE(f.LogOnWithList("alice`carol"));
    PageRouter& pages = f.main->WOL().Pages();
    f.peer.SendLine(":mallory!u@127.0.0.1 PAGE bob :buy gold");
    f.peer.SendLine(":mallory!u@127.0.0.1 PAGE bob :<WWINVITE>Game 12");
    f.peer.SendLine(":ALICE!u@127.0.0.1 PAGE bob :hello");
    ASSERT_TRUE(PumpUi([&] { return pages.Find("alice") != nullptr; }));
    ASSERT_TRUE(PumpUi([&] { return f.peer.WaitForLine("PAGE mallory :<WWDECLINE>1", {}); }));
    EXPECT_EQ(pages.Count(), 1u);

    SaveSettingLong("PagesFromBuddiesOnly", 0);
    f.peer.SendLine(":mallory!u@127.0.0.1 PAGE bob :hello?");
    EXPECT_TRUE(PumpUi([&] { return pages.Find("mallory") != nullptr; }));
}

}  // namespace
}  // namespace vantor::test
