// SPDX-License-Identifier: MIT
#include "app/loader.h"
#include "diagnostics/debug_ui.h"
#include "pages/page_ui.h"
#include "platform/socket_layer.h"

int main(int argc, char** argv) {
    vantor::StartUpHooks hooks;
    hooks.socketStartUp = [](std::uint16_t version) { return vantor::SocketStartup(version); };
    hooks.installWindowFactories = [] {
        vantor::InstallDebugWindowFactory();
        vantor::InstallPageWindowFactory();
    };
    return vantor::Loader(argc, argv, hooks);
}
