// SPDX-License-Identifier: MIT
#include "app/loader.h"
#include "diagnostics/debug_ui.h"
#include "platform/socket_layer.h"
#if VANTOR_HAVE_PAGES_UI
#include "pages/page_ui.h"
#endif

int main(int argc, char** argv) {
    vantor::StartUpHooks hooks;
    hooks.socketStartUp = [](std::uint16_t version) { return vantor::SocketStartup(version); };
    hooks.installWindowFactories = [] {
        vantor::InstallDebugWindowFactory();
#if VANTOR_HAVE_PAGES_UI
        vantor::InstallPageWindowFactory();
#endif
    };
    return vantor::Loader(argc, argv, hooks);
}
