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
