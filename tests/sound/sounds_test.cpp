// SPDX-License-Identifier: MIT
#include "sound/sounds.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "settings/held_settings.h"
#include "settings/settings_store.h"
#include "support/debug_recorder.h"
#include "support/temp_registry.h"

namespace vantor {
namespace {

// Records what the core asks of the player, as one line each.
class FakePlayer final : public SoundPlayer {
public:
    std::string why;  // empty: it can play
    std::vector<std::string> calls;

    std::string Unavailable() override { return why; }
    void StartMusic(double volume) override { calls.push_back("start " + Twentieths(volume)); }
    void SetMusicVolume(double volume) override { calls.push_back("volume " + Twentieths(volume)); }
    void StopMusic() override { calls.push_back("stop"); }
    void PlayChime(double volume) override { calls.push_back("chime " + Twentieths(volume)); }

private:
    static std::string Twentieths(double volume) { return std::to_string(int(volume * 20 + 0.5)); }
};

// The program's held settings over a registry of the test's own, and the sounds over a fake
// player with a clock the test moves.
class SoundsTest : public ::testing::Test {
public:
    SoundsTest() {
        held.Load();
        SetSettingsSource(&held);
        watch = held.Watch([this] { sounds.SettingsChanged(); });
    }
    ~SoundsTest() override {
        held.Unwatch(watch);
        SetSettingsSource(nullptr);
    }

    // OK in the options with the music box and the volume as given.
    void Ok(int music, int volume) {
        HeldValues values = held.Values();
        values[int(Held::Music)] = music;
        values[int(Held::Volume)] = volume;
        held.Commit(values);
    }

    test::ScopedRegistry registry;
    HeldSettings held;
    FakePlayer player;
    std::int64_t now = 100000;
    Sounds sounds{player, [this] { return now; }};
    HeldSettings::WatchId watch = 0;
};

TEST_F(SoundsTest, theMusicFollowsLogOnTheBoxAndTheVolume) {
    using Calls = std::vector<std::string>;
    const struct {
        const char* what;
        std::function<void(SoundsTest&)> step;
        Calls calls;  // asked of the player by this step
        bool playing;
    } steps[] = {
        {"the box ticked, offline: silence", [](SoundsTest& t) { t.Ok(1, 19); }, {}, false},
        {"log-on starts the loop at the held volume",
         [](SoundsTest& t) { t.sounds.LoggedOn(); },
         {"start 19"},
         true},
        {"a second log-on (a reconnect) changes nothing",
         [](SoundsTest& t) { t.sounds.LoggedOn(); },
         {},
         true},
        {"OK with volume 7 plays at 7/20", [](SoundsTest& t) { t.Ok(1, 7); }, {"volume 7"}, true},
        {"OK with the same values changes nothing", [](SoundsTest& t) { t.Ok(1, 7); }, {}, true},
        {"OK with the box unticked stops it", [](SoundsTest& t) { t.Ok(0, 7); }, {"stop"}, false},
        {"ticked again, it starts again", [](SoundsTest& t) { t.Ok(1, 7); }, {"start 7"}, true},
        {"log-off stops it", [](SoundsTest& t) { t.sounds.LoggedOff(); }, {"stop"}, false},
        {"a change while offline plays nothing", [](SoundsTest& t) { t.Ok(1, 12); }, {}, false},
        {"volume 0 starts silent",
         [](SoundsTest& t) {
             t.Ok(1, 0);
             t.sounds.LoggedOn();
         },
         {"start 0"},
         true},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        player.calls.clear();
        s.step(*this);
        EXPECT_EQ(player.calls, s.calls);
        EXPECT_EQ(sounds.MusicPlaying(), s.playing);
    }
}

TEST_F(SoundsTest, aSetOfTheHeldValuesActsLikeOk) {
    sounds.LoggedOn();
    player.calls.clear();
    Settings().Set(setting::held::kBGSndVolume, 4);
    Settings().Set(setting::held::kEnableBGSnd, 0);
    EXPECT_EQ(player.calls, (std::vector<std::string>{"volume 4", "stop"}));
}

TEST(SoundsQuit, theMusicStopsWithTheProgram) {
    test::ScopedRegistry registry;
    FakePlayer player;
    {
        Sounds sounds(player);
        SetSounds(&sounds);
        NoteLoggedOn();
        EXPECT_TRUE(sounds.MusicPlaying());
    }
    EXPECT_EQ(player.calls, (std::vector<std::string>{"start 19", "stop"}));
    NoteLoggedOff();  // the instance went with it: nothing to reach
    EXPECT_EQ(player.calls.size(), 2u);
}

TEST_F(SoundsTest, aMessageChimesOncePerSenderWithinTheQuietTime) {
    const struct {
        const char* what;
        std::int64_t after;  // ms since the step before
        const char* sender;
        int pageSound;
        int volume;
        bool chimes;
    } steps[] = {
        {"a page to an inactive window", 0, "bob", 1, 19, true},
        {"a second from him within the quiet time", 1000, "Bob", 1, 19, false},
        {"someone else meanwhile", 0, "ann", 1, 19, true},
        {"him again after the quiet time", Sounds::kQuietMs, "bob", 1, 19, true},
        {"PageSound 0", Sounds::kQuietMs, "bob", 0, 19, false},
        {"volume 0 is silence", Sounds::kQuietMs, "carl", 1, 0, false},
        {"at the music volume", 0, "dave", 1, 7, true},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        SaveSettingLong("PageSound", s.pageSound);
        Ok(1, s.volume);
        player.calls.clear();
        now += s.after;
        sounds.MessageArrived(s.sender);
        const std::vector<std::string> chime = {"chime " + std::to_string(s.volume)};
        EXPECT_EQ(player.calls, s.chimes ? chime : std::vector<std::string>{});
    }
}

TEST_F(SoundsTest, withoutAudioTheDebugLogSaysWhyOnceAndNothingFails) {
    test::LogCapture log;
    player.why = "there is no audio output device";
    sounds.LoggedOn();
    sounds.MessageArrived("bob");
    Ok(1, 5);
    sounds.LoggedOff();
    sounds.LoggedOn();
    EXPECT_TRUE(player.calls.empty());
    EXPECT_FALSE(sounds.MusicPlaying());
    int notes = 0;
    for (const auto& entry : *log.entries) notes += entry.text.rfind("No sound", 0) == 0;
    EXPECT_EQ(notes, 1);
    EXPECT_TRUE(log.Has("No sound: there is no audio output device."));

    // A device that turns up later is used.
    player.why.clear();
    Ok(1, 6);
    EXPECT_EQ(player.calls, (std::vector<std::string>{"start 6"}));
}

}  // namespace
}  // namespace vantor
