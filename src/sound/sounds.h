// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace vantor {

// What plays the two sounds: Qt Multimedia in the program, a fake in tests. Volumes are 0..1.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Why nothing can be heard (no audio device, no multimedia backend, a sound that does not
    // load); empty while it can play.
    virtual std::string Unavailable() = 0;
    virtual void StartMusic(double volume) = 0;  // the loop, until StopMusic
    virtual void SetMusicVolume(double volume) = 0;
    virtual void StopMusic() = 0;
    virtual void PlayChime(double volume) = 0;
};

// Decides what is heard. The background music ("EnableBGSnd", at "BGSndVolume" / 20) plays
// while the user is logged on and the box is ticked; a page or private message to a window in
// the background chimes ("PageSound") at the same volume, at most once per sender within the
// desktop notifications' quiet time. With no sound to be had, the debug log says why, once.
class Sounds {
public:
    static constexpr std::int64_t kQuietMs = 5000;  // per sender, as the desktop notifications
    using Clock = std::function<std::int64_t()>;    // milliseconds, steady

    explicit Sounds(SoundPlayer& player, Clock clock = {});
    ~Sounds();  // the music stops with the program
    Sounds(const Sounds&) = delete;
    Sounds& operator=(const Sounds&) = delete;

    void LoggedOn();
    void LoggedOff();
    // The sound settings may have changed (OK in the options): applied at once.
    void SettingsChanged();
    // A message meant for the user reached a window that is not active. `sender` as on the wire.
    void MessageArrived(std::string_view sender);

    bool MusicPlaying() const { return playing_; }

private:
    bool CanPlay();
    void Apply();

    SoundPlayer& player_;
    Clock clock_;
    bool loggedOn_ = false;
    bool playing_ = false;
    double volume_ = 0.0;  // what the music was started or last set at
    bool toldWhy_ = false;
    std::map<std::string, std::int64_t> lastChime_;  // lower-cased sender -> clock
};

// The program's instance, for the one-line hooks of the windows; not owned, nullptr removes it.
void SetSounds(Sounds* sounds);
// Where the main window logs on and off; nothing happens without an instance.
void NoteLoggedOn();
void NoteLoggedOff();

}  // namespace vantor
