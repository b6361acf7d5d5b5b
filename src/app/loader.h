// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace vantor {

class DesktopAttention;
class HeldSettings;
class QtSoundPlayer;
class MessageBoxes;
class SettingUI;
class Sounds;
class VantorChatUI;

inline constexpr std::uint16_t kSocketVersion = 0x0202;

// What start-up needs from outside the windows.
struct StartUpHooks {
    std::function<int(std::uint16_t version)> socketStartUp;  // 0 = success
    std::function<void()> installWindowFactories;             // before the debug log starts
    MessageBoxes* boxes = nullptr;  // the main window's; nullptr: the real ones
};

// The windows of a run, in the order they must be destroyed (main window first).
struct Program {
    std::unique_ptr<HeldSettings> held;  // the settings source of the whole run
    std::unique_ptr<SettingUI> settings;
    std::unique_ptr<QtSoundPlayer> player;
    std::unique_ptr<Sounds> sounds;  // the background music and the page chime
    int soundsWatch = 0;             // on the held settings, so OK in the options applies at once
    std::unique_ptr<VantorChatUI> main;
    std::unique_ptr<DesktopAttention> attention;  // notifications and the tray icon
    ~Program();
};

// Everything the entry point does once the QApplication exists, up to the shown main window.
std::unique_ptr<Program> StartUp(const StartUpHooks& hooks);

// Leaves the event loop at once. Unlike QCoreApplication::quit it asks no window to close, so a
// window that refuses (the reorder's status window) cannot keep the program running.
void EndProgram();

// The entry point: start-up, the event loop, and the end of the run.
int Loader(int& argc, char** argv, const StartUpHooks& hooks);

}  // namespace vantor
