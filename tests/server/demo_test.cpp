// SPDX-License-Identifier: MIT
// The demo accounts and the scripted users of --demo.
#include <gtest/gtest.h>

#include "support/local_server.h"
#include "wire_client.h"

namespace vantor::test {
namespace {

TEST(ServiceDemo, offersTheDemoAccountWithTheCastAsBuddies) {
    LocalServer server{true};
    ASSERT_TRUE(server.Ok());
    WireClient demo(server.BasePort());
    ASSERT_TRUE(demo.LogOn("demo", "demo"));
    EXPECT_EQ(Ask(demo, "GETBUDDY", "333", 3), "echo`marla`dozer`rover`tanker`shade`warden`guest");

    WireClient guest(server.BasePort());
    EXPECT_TRUE(guest.LogOn("guest", "guest"));
    // rover comes and goes; its nickname stays reserved while it is away.
    for (const std::string nick : {"echo", "rover"}) {
        WireClient impostor(server.BasePort());
        impostor.SendLine("NICK " + nick);
        impostor.SendLine("USER a b c :d");
        EXPECT_TRUE(impostor.WaitFor([&](auto& l) {
            return Word(l, 1) == "433" || (nick == "rover" && Word(l, 0) == "ERROR");
        })) << nick;
    }
}

TEST(ServiceDemo, echoAnswersPagesAndTheWardenMarksAndGreets) {
    LocalServer server{true};
    WireClient guest(server.BasePort());
    ASSERT_TRUE(guest.LogOn("guest", "guest"));
    EXPECT_EQ(Ask(guest, "PAGE echo :are you real?", "389", 3), "0");
    auto page = guest.WaitForCode("PAGE");
    ASSERT_TRUE(page);
    EXPECT_EQ(Word(*page, 0).substr(0, 6), ":echo!");
    EXPECT_EQ(Word(*page, 3, 4), ":are you real?");

    guest.SendLine("JOIN #Lob_12_0 plumvex4");
    auto names = guest.WaitForCode("353");
    ASSERT_TRUE(names);
    EXPECT_NE(Word(*names, 5, 6).find("@warden"), std::string::npos);
    auto welcome = guest.WaitFor(
        [](auto& l) { return Word(l, 1) == "PRIVMSG" && Word(l, 0).starts_with(":warden!"); });
    ASSERT_TRUE(welcome);
    EXPECT_NE(welcome->find("guest"), std::string::npos);
}

}  // namespace
}  // namespace vantor::test
