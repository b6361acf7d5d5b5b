// SPDX-License-Identifier: MIT
#include "sound/sounds.h"

#include <algorithm>
#include <chrono>

#include "common/wire_text.h"
#include "diagnostics/debug_log.h"
#include "settings/setting_names.h"
#include "settings/settings_source.h"

namespace vantor {

namespace {

Sounds* g_installed = nullptr;

std::int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The volume setting as the player takes it: 0 silent, 20 full.
double Volume() {
    return std::clamp(Settings().Get(setting::kSndVolume), 0, 20) / 20.0;
}

}  // namespace

Sounds::Sounds(SoundPlayer& player, Clock clock)
    : player_(player), clock_(clock ? std::move(clock) : Clock(SteadyMs)) {}

Sounds::~Sounds() {
    if (g_installed == this) g_installed = nullptr;
    if (playing_) player_.StopMusic();
}

void Sounds::LoggedOn() {
    loggedOn_ = true;
    Apply();
}

void Sounds::LoggedOff() {
    loggedOn_ = false;
    Apply();
}

void Sounds::SettingsChanged() {
    Apply();
}

void Sounds::MessageArrived(std::string_view sender) {
    if (Settings().Get(setting::kPageSound) == 0) return;
    const double volume = Volume();
    if (volume <= 0.0) return;
    const std::int64_t now = clock_();
    const std::string key = LowerCp1252(sender);
    const auto last = lastChime_.find(key);
    if (last != lastChime_.end() && now - last->second < kQuietMs) return;
    lastChime_[key] = now;
    if (CanPlay()) player_.PlayChime(volume);
}

bool Sounds::CanPlay() {
    const std::string why = player_.Unavailable();
    if (why.empty()) return true;
    if (!toldWhy_) {
        toldWhy_ = true;
        DebugLog(Tag{0}, "No sound: " + why + ".", kLogNote);
    }
    return false;
}

void Sounds::Apply() {
    const bool wanted = loggedOn_ && Settings().Get(setting::kEnableSnd) == 1;
    if (!wanted) {
        if (playing_) player_.StopMusic();
        playing_ = false;
        return;
    }
    const double volume = Volume();
    if (playing_) {
        if (volume != volume_) player_.SetMusicVolume(volume);
        volume_ = volume;
        return;
    }
    if (!CanPlay()) return;
    player_.StartMusic(volume);
    playing_ = true;
    volume_ = volume;
}

void SetSounds(Sounds* sounds) {
    g_installed = sounds;
}

void NoteLoggedOn() {
    if (g_installed != nullptr) g_installed->LoggedOn();
}

void NoteLoggedOff() {
    if (g_installed != nullptr) g_installed->LoggedOff();
}

}  // namespace vantor
