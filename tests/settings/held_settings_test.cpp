// SPDX-License-Identifier: MIT
#include "settings/held_settings.h"

#include <gtest/gtest.h>

#include "settings/settings_store.h"
#include "support/temp_registry.h"

namespace vantor {
namespace {

TEST(HeldSettings, emptyStoreGivesDefaultsAndWritesThemBack) {
    test::ScopedRegistry registry;
    HeldSettings held;
    held.Load();
    EXPECT_EQ(held.Values(), (HeldValues{0, 0, 1, 1, 1, 1, 19}));
    EXPECT_EQ(GetSettingLong("BuddyListAutoRefreshInt", -1), 1);
    EXPECT_EQ(GetSettingLong("BGSndVolume", -1), 19);
    EXPECT_EQ(GetSettingLong("Server", -1), 1);
}

TEST(HeldSettings, outOfRangeValuesAreCorrectedInMemoryOnly) {
    test::ScopedRegistry registry;
    SaveSettingLong("BuddyListAutoRefreshInt", 75);
    SaveSettingLong("Server", -3);
    SaveSettingLong("BGSndVolume", 25);
    SaveSettingLong("ChatInitialLobby", 10);
    SaveSettingLong("BuddyListAutoRefresh", 2);
    HeldSettings held;
    held.Load();
    EXPECT_EQ(held.Get(Held::Interval), 60);
    EXPECT_EQ(held.Get(Held::Server), 0);
    EXPECT_EQ(held.Get(Held::Volume), 20);
    EXPECT_EQ(held.Get(Held::Lobby), 9);
    EXPECT_EQ(held.Get(Held::AutoRefresh), 1);
    EXPECT_EQ(GetSettingLong("BuddyListAutoRefreshInt", 0), 75);
    EXPECT_EQ(GetSettingLong("Server", 0), -3);

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

    EXPECT_EQ(held.SettingLong("AutoBuddyRefreshInt", 5), 60);
    EXPECT_EQ(held.SettingLong("AutoBuddyRefresh", 0), 1);
    EXPECT_EQ(held.SettingLong("EnableSnd", 0), 1);
    EXPECT_EQ(held.SettingLong("SndVolume", 0), 19);

    // Another case is another name: asked from the store, which keeps the default.
    EXPECT_EQ(held.SettingLong("autobuddyrefresh", 7), 7);
    EXPECT_EQ(GetSettingLong("autobuddyrefresh", 0), 7);
    // Value names are not query names.
    EXPECT_EQ(held.SettingLong("BGSndVolume", 3), 19);  // the store's own value, written at load
    EXPECT_EQ(held.SettingLong("ChatColIn", 0x00FF00), 0x00FF00);

    SaveSettingString("ServerHost", "127.0.0.1");
    EXPECT_EQ(held.SettingString("ServerHost", "localhost"), "127.0.0.1");
    EXPECT_EQ(held.SettingString("LastNickName", "bob"), "bob");
    EXPECT_EQ(GetSettingString("LastNickName", ""), "bob");
}

TEST(IntervalBox, okKeepsThePreviousIntervalWhenTheBoxHoldsNoNumber) {
    EXPECT_EQ(interval::FromText("", 12), 12);
    EXPECT_EQ(interval::FromText("x", 12), 12);
    EXPECT_EQ(interval::FromText("0", 12), 1);
    EXPECT_EQ(interval::FromText("75", 12), 60);
    EXPECT_EQ(interval::FromText("99999999999999", 12), 60);
    EXPECT_EQ(interval::FromText("08", 12), 8);
}

TEST(IntervalBox, onlyDigitsAndEditingKeysGetThrough) {
    EXPECT_TRUE(interval::PasteAllowed(u"12"));
    EXPECT_TRUE(interval::PasteAllowed(u""));
    EXPECT_FALSE(interval::PasteAllowed(u"1x"));
    EXPECT_FALSE(interval::PasteAllowed(u" 1"));
    EXPECT_FALSE(interval::PasteAllowed(u"\u0661"));  // a digit, but not one the box reads
    for (char16_t ch : {u'0', u'9', char16_t(3), char16_t(8), char16_t(22), char16_t(24), char16_t(26)}) {
        EXPECT_TRUE(interval::CharAllowed(ch)) << int(ch);
    }
    for (char16_t ch : {u'a', u'-', u' ', u'+', char16_t(1), char16_t(13), char16_t(0x661)}) {
        EXPECT_FALSE(interval::CharAllowed(ch)) << int(ch);
    }
}

}  // namespace
}  // namespace vantor
