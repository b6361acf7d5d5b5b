// SPDX-License-Identifier: MIT
#include "app/loader.h"

#include <QApplication>
#include <QDBusConnection>

#include "app/desktop_attention.h"
#include "app/vantor_chat_ui.h"
#include "common/qt_text.h"
#include "controls/attention.h"
#include "diagnostics/debug_log.h"
#include "pages/ignore_list.h"
#include "resources/art.h"
#include "settings/held_settings.h"
#include "settings/setting_ui.h"
#include "settings/settings_store.h"
#include "sound/qt_sound_player.h"
#include "sound/sounds.h"

namespace vantor {

Program::~Program() {
    attention.reset();
    main.reset();
    SetMessageChime({});
    if (held) held->Unwatch(soundsWatch);
    sounds.reset();  // the music stops at quit
    player.reset();
    settings.reset();
    if (held && &Settings() == held.get()) SetSettingsSource(nullptr);
    CloseSettingsStore();
}

std::unique_ptr<Program> StartUp(const StartUpHooks& hooks) {
    auto program = std::make_unique<Program>();
    // Before anything reads a setting: a store that cannot be read gives the defaults, and
    // stays untouched, instead of "" and 0.
    const std::optional<StoreFailure> storeFailure = OpenSettingsStore();
    // Then the held settings, read once and answering for the whole program, and the shared
    // pictures, so that both exist before any window loads; then the options window over them,
    // hidden.
    program->held = std::make_unique<HeldSettings>();
    program->held->Load();
    SetSettingsSource(program->held.get());
    Ignores().Load();
    art::SharedBackground();
    art::SharedTitle();
    program->settings = std::make_unique<SettingUI>(*program->held);

    if (hooks.installWindowFactories) hooks.installWindowFactories();
    InitDebug();
    ShowDebugWindow();
    DebugLog(Tag{0}, "Debug dump initialized.", kLogNote);

    const int started = hooks.socketStartUp ? hooks.socketStartUp(kSocketVersion) : 0;
    DebugLog(Tag{0}, started == 0 ? "Sockets initialized." : "Socket initialization failed.",
             kLogNote);

    if (storeFailure) DebugLog(Tag{0}, StoreFailureText(*storeFailure), kLogError);

    program->player = std::make_unique<QtSoundPlayer>();
    program->sounds = std::make_unique<Sounds>(*program->player);
    SetSounds(program->sounds.get());
    program->soundsWatch =
        program->held->Watch([sounds = program->sounds.get()] { sounds->SettingsChanged(); });
    SetMessageChime([sounds = program->sounds.get()](const QString& sender) {
        sounds->MessageArrived(ToWire(sender));
    });

    program->main = std::make_unique<VantorChatUI>();
    if (hooks.boxes) program->main->SetMessageBoxes(hooks.boxes);
    program->main->show();
    if (storeFailure) {
        MessageBoxes& boxes = hooks.boxes ? *hooks.boxes : ModalBoxes();
        boxes.Show(program->main.get(), BoxIcon::Exclamation, QStringLiteral("Settings not read"),
                   FromWire(StoreFailureText(*storeFailure)));
    }
    program->attention =
        std::make_unique<DesktopAttention>(QDBusConnection::sessionBus(), program->main.get());
    return program;
}

void EndProgram() {
    QCoreApplication::exit(0);
}

int Loader(int& argc, char** argv, const StartUpHooks& hooks) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantor Desktop"));
    QApplication::setWindowIcon(art::WindowIcon());
    // The debug window may outlive the main window; only the main window ends the run.
    QApplication::setQuitOnLastWindowClosed(false);

    std::unique_ptr<Program> program = StartUp(hooks);
    program->main->SetEndProgram(&EndProgram);
    const int code = QApplication::exec();
    program.reset();
    return code;
}

}  // namespace vantor
