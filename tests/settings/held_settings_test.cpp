// SPDX-License-Identifier: MIT
#include "settings/held_settings.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "settings/settings_store.h"
#include "support/temp_registry.h"

namespace vantor {
namespace {

TEST(HeldSettings, emptyStoreGivesDefaultsAndWritesThemBack) {
    test::ScopedRegistry registry;
    HeldSettings held;
    held.Load();
    EXPECT_EQ(held.Values(), (HeldValues{0, 0, 1, 1, 1, 1, 19}));
    for (const auto& [name, value] :
         {std::pair{"BuddyListAutoRefreshInt", 1}, {"BGSndVolume", 19}, {"Server", 1}})
        EXPECT_EQ(GetSettingLong(name, -1), value) << name;
}

TEST(HeldSettings, outOfRangeValuesAreCorrectedInMemoryOnly) {
    test::ScopedRegistry registry;
    const struct {
        const char* name;
        Held which;
        int stored, held;
    } cases[] = {{"BuddyListAutoRefreshInt", Held::Interval, 75, 60},
                 {"Server", Held::Server, -3, 0},
                 {"BGSndVolume", Held::Volume, 25, 20},
                 {"ChatInitialLobby", Held::Lobby, 10, 9},
                 {"BuddyListAutoRefresh", Held::AutoRefresh, 2, 1}};
    for (const auto& c : cases) SaveSettingLong(c.name, c.stored);
    HeldSettings held;
    held.Load();
    for (const auto& c : cases) {
        EXPECT_EQ(held.Get(c.which), c.held) << c.name;
        EXPECT_EQ(GetSettingLong(c.name, 0), c.stored) << c.name;
    }

    SaveSettingLong("BuddyListAutoRefreshInt", 0);
    held.Load();
    EXPECT_EQ(held.Get(Held::Interval), 1);
}

TEST(HeldSettings, queryNamesMatchExactlyAndEverythingElseGoesToTheStore) {
    test::ScopedRegistry registry;
    SaveSettingLong("BuddyListAutoRefresh", 1);
    SaveSettingLong("BuddyListAutoRefreshInt", 75);
    HeldSettings held;
    held.Load();

    for (const auto& [name, defaultValue, value] : {
             std::tuple{"AutoBuddyRefreshInt", 5, 60},
             {"AutoBuddyRefresh", 0, 1},
             {"EnableSnd", 0, 1},
             {"SndVolume", 0, 19},
             {"autobuddyrefresh", 7, 7},  // another case is another name, asked from the store
             {"BGSndVolume", 3, 19},      // a value name: the store's own, written at load
             {"ChatColIn", 0x00FF00, 0x00FF00},
         })
        EXPECT_EQ(held.SettingLong(name, defaultValue), value) << name;
    EXPECT_EQ(GetSettingLong("autobuddyrefresh", 0), 7);  // the store kept the default

    SaveSettingString("ServerHost", "127.0.0.1");
    EXPECT_EQ(held.SettingString("ServerHost", "localhost"), "127.0.0.1");
    EXPECT_EQ(held.SettingString("LastNickName", "bob"), "bob");
    EXPECT_EQ(GetSettingString("LastNickName", ""), "bob");
}

// A Set under either name of a held value changes what the program is answered, and the store
// holds it under the value's name; other names only reach the store.
TEST(HeldSettings, aSetOfAHeldValueKeepsTheHeldCopyInStep) {
    test::ScopedRegistry registry;
    HeldSettings held;
    held.Load();
    int changes = 0;
    const auto watch = held.Watch([&] { ++changes; });
    const struct {
        const char* name;
        int value;
        const char* query;
        int answered;
        const char* stored;
        int inStore;
    } cases[] = {
        {"BGSndVolume", 7, "SndVolume", 7, "BGSndVolume", 7},
        {"bgsndvolume", 25, "SndVolume", 20, "BGSndVolume", 25},  // another case, the same value
        {"EnableSnd", 0, "EnableSnd", 0, "EnableBGSnd", 0},       // a query name
        {"Server", -3, "Server", 0, "Server", -3},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(held.SaveSettingLong(c.name, c.value)) << c.name;
        EXPECT_EQ(held.SettingLong(c.query, -1), c.answered) << c.name;
        EXPECT_EQ(GetSettingLong(c.stored, -1), c.inStore) << c.name;
    }
    EXPECT_EQ(changes, 4);
    held.SaveSettingLong("ChatColIn", 5);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(GetSettingLong("ChatColIn", 0), 5);
    held.Unwatch(watch);
    held.Commit(held.Values());
    EXPECT_EQ(changes, 4);
}

// A watcher that removes another one (or itself) from inside the call.
TEST(HeldSettings, aWatcherMayRemoveWatchersWhileCalled) {
    test::ScopedRegistry registry;
    HeldSettings held;
    int first = 0, second = 0;
    HeldSettings::WatchId secondId = 0;
    const HeldSettings::WatchId firstId = held.Watch([&] {
        ++first;
        held.Unwatch(secondId);
        held.Unwatch(firstId);
    });
    secondId = held.Watch([&] { ++second; });
    held.Commit(held.Values());
    held.Commit(held.Values());
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);
}

TEST(IntervalBox, okKeepsThePreviousIntervalWhenTheBoxHoldsNoNumber) {
    for (const auto& [text, value] :
         {std::pair{"", 12}, {"x", 12}, {"0", 1}, {"75", 60}, {"99999999999999", 60}, {"08", 8}})
        EXPECT_EQ(interval::FromText(text, 12), value) << text;
}

TEST(IntervalBox, onlyDigitsAndEditingKeysGetThrough) {
    // U+0661 is a digit, but not one the box reads.
    for (const auto& [text, allowed] :
         {std::pair{u"12", true}, {u"", true}, {u"1x", false}, {u" 1", false}, {u"\u0661", false}})
        EXPECT_EQ(interval::PasteAllowed(text), allowed);
    for (char16_t ch :
         {u'0', u'9', char16_t(3), char16_t(8), char16_t(22), char16_t(24), char16_t(26)}) {
        EXPECT_TRUE(interval::CharAllowed(ch)) << int(ch);
    }
    for (char16_t ch : {u'a', u'-', u' ', u'+', char16_t(1), char16_t(13), char16_t(0x661)}) {
        EXPECT_FALSE(interval::CharAllowed(ch)) << int(ch);
    }
}

}  // namespace
}  // namespace vantor
