// SPDX-License-Identifier: MIT
// Shows the lobby chat window in a busy lobby, without a network, and saves a picture of it:
//   vantor_chat_gallery out.png [members]   (under Xvfb or any display; QT_QPA_PLATFORM=offscreen
//   works too). With a number of members, their names reply comes in lines of 100 names.
#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "chat/chat_link.h"
#include "chat/chat_ui.h"

using namespace vantor;

namespace {

// The window's commands go nowhere: every line it shows is fed to it below.
class QuietLink : public ChatLink {
public:
    void send(std::string_view, ReplySpec) override {}
    InterceptRegistration RegisterIntercept(std::string, std::shared_ptr<Callback>,
                                            Param) override {
        return {};
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("chat.png");

    // A registry of its own, so the picture shows the default settings (time stamps on).
    QTemporaryDir registry;
    qputenv("VANTOR_REGISTRY", registry.filePath(QStringLiteral("registry.reg")).toLocal8Bit());

    auto* chat = new ChatUI;
    chat->SetWOL(std::make_shared<QuietLink>());
    chat->show();
    chat->SetUser("bob");
    chat->ConnectChat();

    const char* const lines[] = {
        ":s 321 bob Channel :Users Name",
        ":s 327 bob #Lob_12_0 12 0 1",
        ":s 327 bob #Lob_12_1 7 0 1",
        ":s 327 bob #Lob_12_2 0 0 1",
        ":s 327 bob #Lob_12_3 31 0 1",
        ":s 327 bob #Lob_12_4 2 0 1",
        ":s 327 bob #Lob_12_5 9 0 1",
        ":s 327 bob #Lob_12_6 4 0 1",
        ":s 327 bob #Lob_12_7 1 0 1",
        ":s 327 bob #Lob_12_8 0 0 1",
        ":s 327 bob #Lob_12_9 3 0 1",
        ":s 323 bob :End of /LIST",
        ":bob!u@h JOIN :0,0 #Lob_12_0",
        ":s 353 bob = #Lob_12_0 :@Tanya bob ann carl dave_82 @Kane eve frank gina hal "
        "iris jack",
        ":s 366 bob #Lob_12_0 :End of /NAMES list.",
        ":ann!u@h PRIVMSG #Lob_12_0 :anyone up for a 2v2 on the island map?",
        ":carl!u@h PRIVMSG #Lob_12_0 :sure, give me five minutes",
        ":dave_82!u@h PRIVMSG #Lob_12_0 :\x01"
        "ACTIONstretches and cracks his knuckles\x01",
        ":Kane!u@h PRIVMSG #Lob_12_0 :new maps are up at www.example.org/maps - have fun",
        ":ann!u@h PRIVMSG #Lob_12_0 :bob, are you in? we need a fourth",
        ":eve!u@h PRIVMSG bob :psst, want to team up with me instead?",
        ":kim!u@h JOIN :0,0 #Lob_12_0",
        ":frank!u@h PART #Lob_12_0",
        ":gina!u@h PRIVMSG #Lob_12_0 :<b>this is not bold</b> & neither is this",
    };
    std::vector<std::string> all(std::begin(lines), std::end(lines));
    // The named cast of the picture (12 with the user) is part of the crowd.
    const int crowd = argc > 2 ? std::atoi(argv[2]) - 12 : 0;
    if (crowd > 0) {
        const auto names = std::find_if(all.begin(), all.end(), [](const std::string& l) {
            return l.find(" 353 ") != std::string::npos;
        });
        std::vector<std::string> reply;
        for (int i = 0; i < crowd; i += 100) {
            std::string line = ":s 353 bob = #Lob_12_0 :";
            for (int j = i; j < std::min(crowd, i + 100); ++j) {
                // Appended piece by piece: GCC 12 at -O3 flags "a" + b with a false -Wrestrict.
                if (j % 97 == 5) line += '@';
                line += "player";
                line += std::to_string(1000 + j);
                line += ' ';
            }
            line.pop_back();
            reply.push_back(line);
        }
        all.insert(names + 1, reply.begin(), reply.end());
        std::string row = ":s 327 bob #Lob_12_0 ";
        row += std::to_string(crowd + 12);
        row += " 0 1";
        all.insert(all.begin() + 2, row);
        all.erase(all.begin() + 1);
    }
    for (const std::string& line : all) {
        const std::string word = line.substr(line.find(' ') + 1, 3);
        const int param = word == "321" || word == "327" || word == "323" ? Lobby::kList
                          : word == "353" || word == "366"                ? Lobby::kJoin
                          : word == "JOI"                                 ? Lobby::kJoined
                          : word == "PAR"                                 ? Lobby::kLeft
                                                                          : Lobby::kMessage;
        chat->Core().ChatCB_Callback(line, Delivery::Data, Param{param});
    }
    chat->AddChat(int(EntryKind::Notify), QStringLiteral("frank has left, kim joined"));
    chat->CatchUpHistory();
    chat->CatchUpLists();

    QTimer::singleShot(800, &app, [&] {
        chat->CatchUpHistory();
        QPixmap shot = chat->grab();
        if (QScreen* screen = chat->screen(); screen && chat->windowHandle()) {
            const QPixmap whole = screen->grabWindow(chat->windowHandle()->winId());
            if (!whole.isNull()) shot = whole;
        }
        const bool saved = shot.save(out);
        std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save", qPrintable(out));
        app.exit(saved ? 0 : 1);
    });
    const int rc = app.exec();
    delete chat;
    return rc;
}
