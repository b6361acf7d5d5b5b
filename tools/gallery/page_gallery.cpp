// SPDX-License-Identifier: MIT
// Opens a page conversation with a few lines in it, after the end of an earlier one from its log,
// and saves a picture of the window, so its look can be checked by eye. With a text, the find bar
// is open on it: vantor_page_gallery <out.png> [find text]
#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "controls/find_bar.h"
#include "pages/page_router.h"
#include "pages/page_ui.h"
#include "pages/page_win.h"
#include "session/conversation_log.h"
#include "settings/held_settings.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <out.png>\n", argv[0]);
        return 2;
    }
    // A registry of its own, so the picture shows the default settings.
    QTemporaryDir registry;
    qputenv("VANTOR_REGISTRY", registry.filePath(QStringLiteral("registry.reg")).toLocal8Bit());
    QTemporaryDir data;  // logs of its own, with an earlier conversation in them
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    {
        vantor::ConversationLog earlier(vantor::LogPath(vantor::LogRoot(), "ann", "bob"));
        earlier.Append("Bob: did you see the new map?", {2024, 5, 3, 21, 14, 2});
        earlier.Append("ann: not yet, is it any good?", {2024, 5, 3, 21, 14, 40});
        earlier.Append("Bob: great for 2v2, try it tomorrow", {2024, 5, 3, 21, 15, 9});
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QApplication app(argc, argv);
    vantor::HeldSettings held;  // read first, as at start-up
    held.Load();
    vantor::SetSettingsSource(&held);
    vantor::InstallPageWindowFactory();

    vantor::PageRouter router([](std::string_view, vantor::ReplySpec) {});
    router.SetOwnNick("ann");
    router.OnReceivedPage(":Bob!u@127.0.0.1 PAGE ann :hey ann, are you joining the 8pm game?");
    auto conv = router.Find("bob");
    auto* window = dynamic_cast<vantor::PageUI*>(conv->Window());
    window->AddHistory(0, QStringLiteral("ann: sure, which lobby?"));
    router.OnReceivedPage(":BOB!u@127.0.0.1 PAGE ann :Crimson Barracks: bring a friend \xE9");
    window->AddHistory(0, QStringLiteral("ann: ok, see you there"));
    window->Notify("User is offline!");
    window->findChild<QLineEdit*>(QStringLiteral("SendBox"))->setText(QStringLiteral("typing..."));

    if (argc > 2) {
        window->show();
        auto* bar = window->findChild<vantor::FindBar*>();
        bar->Open();
        bar->findChild<QLineEdit*>(QStringLiteral("FindText"))
            ->setText(QString::fromLocal8Bit(argv[2]));
        bar->Next();
    }

    QTimer::singleShot(500, window, [&] {
        const bool saved = window->grab().save(out);
        std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save", argv[1]);
        app.exit(saved ? 0 : 1);
    });
    return app.exec();
}
