// SPDX-License-Identifier: MIT
#include "pages/ignore_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/settings_store.h"
#include "support/temp_registry.h"

namespace vantor {
namespace {

using Names = std::vector<std::string>;

// What the registry value reads as, and what a change then writes back.
TEST(IgnoreListValue, roundTripsOddSpacingEmptyValuesAndTwoHundredNames) {
    std::string many, manyWritten;
    Names manyNames;
    for (int i = 0; i < 200; ++i) {
        manyNames.push_back("user" + std::to_string(i));
        many += (i % 3 == 0 ? "  " : (i % 3 == 1 ? "\t" : " ")) + manyNames.back();
        manyWritten += (i == 0 ? "" : " ") + manyNames.back();
    }
    const struct {
        const char* what;
        std::string stored;
        Names names;
        std::string written;  // after a name is added and taken out again
    } cases[] = {
        {"empty", "", {}, ""},
        {"spaces only", "   \t ", {}, ""},
        {"one", "bob", {"bob"}, "bob"},
        {"odd spacing", "  bob   carl\t\tdave \r\n", {"bob", "carl", "dave"}, "bob carl dave"},
        {"twice in two cases", "Bob carl BOB", {"Bob", "carl"}, "Bob carl"},
        {"code page letters", "\xC9lan \xE9LAN", {"\xC9lan"}, "\xC9lan"},
        {"two hundred", many, manyNames, manyWritten},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::ScopedRegistry registry;
        ASSERT_TRUE(SaveSettingString("IgnoreList", c.stored));
        IgnoreList list;
        list.Load();
        EXPECT_EQ(list.Names(), c.names);
        EXPECT_EQ(GetSettingString("IgnoreList", "?"), c.stored);  // reading writes nothing

        ASSERT_TRUE(list.Add("zed"));
        ASSERT_TRUE(list.Remove("ZED"));
        EXPECT_EQ(GetSettingString("IgnoreList", "?"), c.written);
        IgnoreList again;
        again.Load();
        EXPECT_EQ(again.Names(), c.names);
    }

    // No value at all: nobody is ignored, and the store keeps an empty one from then on.
    test::ScopedRegistry registry;
    IgnoreList list;
    list.Load();
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(GetSettingString("IgnoreList", "?"), "");
}

TEST(IgnoreListNames, compareInTheLobbysLetterCaseAndRefuseWhatNoNicknameHolds) {
    IgnoreList list;  // in memory only: nothing reaches the store
    EXPECT_TRUE(list.Add("Bob"));
    EXPECT_FALSE(list.Add("BOB"));
    EXPECT_TRUE(list.Contains("bob"));
    EXPECT_TRUE(list.Contains("BOB"));
    EXPECT_FALSE(list.Contains("bobby"));
    EXPECT_FALSE(list.Contains("bo"));
    EXPECT_TRUE(list.Add("\xC9lan"));
    EXPECT_TRUE(list.Contains("\xE9LAN"));
    for (const char* bad : {"", "two words", "tab\there", "line\n", "del\x7F"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(list.Add(bad));
    }
    EXPECT_EQ(list.Names(), (Names{"Bob", "\xC9lan"}));
    EXPECT_FALSE(list.Remove("nobody"));
    list.Assign({"carl", "CARL", "", "dave"});
    EXPECT_EQ(list.Text(), "carl dave");
}

// A watcher may let go of itself or of another one while it is told; one that has gone is not
// called any more.
TEST(IgnoreListWatch, handlersFollowEveryChangeAndMayLetGoMeanwhile) {
    IgnoreList list;
    int first = 0, second = 0;
    IgnoreList::Watch b;
    IgnoreList::Watch a = list.OnChange([&] {
        ++first;
        b.reset();
    });
    b = list.OnChange([&] { ++second; });
    list.Add("bob");
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);
    list.Add("bob");  // no change, no call
    list.Assign({"bob"});
    EXPECT_EQ(first, 1);
    a.reset();
    list.Remove("bob");
    EXPECT_EQ(first, 1);
}

}  // namespace
}  // namespace vantor
