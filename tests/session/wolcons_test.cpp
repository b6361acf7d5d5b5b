// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "session/wolcon.h"
#include "transport/wolcon2.h"

namespace vantor {
namespace {

TEST(WOLCons, keysAreUniqueWithoutCaseAndRemovalClosesTheGap) {
    WOLCons cons;
    WOLCon* alice = cons.Add("alice1");
    cons.Add("");
    WOLCon* bob = cons.Add("bob1");
    ASSERT_TRUE(alice && bob);
    EXPECT_NE(cons.Add(""), nullptr);        // any number of entries without a key
    EXPECT_EQ(cons.Add("Alice1"), nullptr);  // but a key only once
    EXPECT_EQ(cons.Item("BOB1"), bob);       // keys ignore letter case, as nicknames do
    // The key is the session's tag, down to the transport that stamps the debug log.
    EXPECT_EQ(bob->Interface().GetTag(), Tag{std::string("bob1")});

    EXPECT_TRUE(cons.Remove("ALICE1"));
    EXPECT_FALSE(cons.Remove("alice1"));
    EXPECT_TRUE(cons.Remove(std::size_t{0}));
    EXPECT_FALSE(cons.Remove(std::size_t{5}));
    EXPECT_EQ(cons.Item(0), bob);
    EXPECT_EQ(cons.Keys(), (std::vector<std::string>{"bob1", ""}));
}

TEST(WOLCons, walkSkipsSessionsRemovedOnTheWay) {
    WOLCons cons;
    cons.Add("a");
    cons.Add("b");
    cons.Add("c");
    std::vector<std::string> visited;
    cons.ForEach([&](WOLCon& con) {
        const std::string key = std::get<std::string>(con.GetTag());
        visited.push_back(key);
        if (key == "a") {
            cons.Remove("a");  // the session being called removes itself...
            cons.Remove("b");  // ...and a later one
            cons.Add("d");     // added during the walk: not visited
        }
    });
    EXPECT_EQ(visited, (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(cons.Keys(), (std::vector<std::string>{"c", "d"}));
}

TEST(WOLCons, walkSurvivesTheCollectionBeingDropped) {
    auto cons = std::make_unique<WOLCons>();
    cons->Add("a");
    cons->Add("b");
    int calls = 0;
    WOLCons* walked = cons.get();
    walked->ForEach([&](WOLCon& con) {
        ++calls;
        cons.reset();        // a search that ends inside the answer of one of its sessions
        con.SetTag(Tag{1});  // the session being called is still alive
    });
    EXPECT_EQ(calls, 1);
}

TEST(WOLCons, sessionRemovedFromItsOwnErrorHandler) {
    WOLCons cons;
    WOLCon* con = cons.Add("a");
    int errors = 0;
    con->Error = [&](ErrorCode) {
        ++errors;
        cons.Remove("a");
    };
    con->LogOn(WolInfo{"bob", "pw"}, false);  // not connected: the first line fails
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(cons.Count(), 0u);
}

}  // namespace
}  // namespace vantor
