// SPDX-License-Identifier: MIT
// The reorder against the bundled local service, through real sessions.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <optional>

#include "controls/vantor_btn.h"
#include "reorder/buddy_restore.h"
#include "reorder/reorder_link.h"
#include "reorder/reorder_ui.h"
#include "session/wolcon.h"
#include "settings/settings_store.h"
#include "support/local_server.h"
#include "support/pump.h"
#include "support/temp_registry.h"
#include "transport/wolcon2.h"

namespace vantor::test {
namespace {

using namespace Qt::Literals::StringLiterals;

// One log-on to the service, pumped as the main window's timer would.
struct Session {
    WOLCon wol;
    int logOn = -1;
    std::optional<std::string> list;
    std::function<void()> onClosed;
    std::function<void(int)> onError;

    Session() {
        wol.LogOnResult = [this](int result) { logOn = result; };
        wol.BuddyListResult = [this](const std::string& l, int) { list = l; };
        wol.Error = [this](int code) {
            if (onError) onError(code);
        };
    }
    bool Pump(const std::function<bool()>& done) {
        return PumpUntil(done, [this] {
            if (wol.PopulateBuff() == kPassClosed && onClosed) onClosed();
            QApplication::processEvents();
        });
    }
    bool LogOn(int port, const std::string& nick) {
        return wol.connect(port) && (wol.LogOn(WolInfo{nick, "secret"}, false), true) &&
               Pump([this] { return logOn == 0; });
    }
    std::string Buddies() {
        list.reset();
        wol.GetBuddies();
        return Pump([this] { return list.has_value(); }) ? *list : "(no answer)";
    }
};

std::vector<std::string> Split(const std::string& list) {
    std::vector<std::string> out;
    std::size_t begin = 0;
    while (!list.empty() && begin <= list.size()) {
        const std::size_t end = std::min(list.find('`', begin), list.size());
        out.push_back(list.substr(begin, end - begin));
        begin = end + 1;
    }
    return out;
}

// A reorder window over a session; it records its boxes.
struct Dialog {
    ReOrderUI ui;
    std::vector<QString> boxes;
    int finished = 0;
    Dialog(Session& s, BuddyRestore& restore, const std::string& list) {
        for (const std::string& nick : Split(list))
            ui.BuddyList()->addItem(QString::fromStdString(nick));
        ui.Init();
        ui.SetWOL(&s.wol);
        ui.SetRestore(&restore);
        ui.SetBoxShower([this](QWidget*, QMessageBox::Icon, const QString& title,
                               const QString& text) { boxes.push_back(title + u'|' + text); });
        QObject::connect(&ui, &ReOrderUI::Finished, &ui, [this] { ++finished; });
        // What the main window forwards while a run is on.
        s.onClosed = [this] { ui.ConnectionLost(); };
        s.onError = [this](int code) { ui.SessionError(code); };
        ui.show();
    }
    void Click(const char* name) {
        QTest::mouseClick(ui.findChild<VantorBtn*>(QString::fromLatin1(name)), Qt::LeftButton);
    }
    void Select(int row) { ui.BuddyList()->setCurrentRow(row); }
};

struct ReorderOnLocalService : ::testing::Test {
    ScopedRegistry registry;
    LocalServer server;
    TempDir data;
    void SetUp() override {
        ASSERT_TRUE(server.Ok());
        SaveSettingString("ServerHost", "127.0.0.1");
    }
    // A new account holding these buddies, in this order.
    void MakeAccount(const std::string& nick, const std::vector<std::string>& buddies) {
        Session s;
        ASSERT_TRUE(s.LogOn(server.BasePort(), nick));
        for (const std::string& b : buddies) s.wol.send("ADDBUDDY " + b);
        s.Buddies();
        s.wol.Quit();
    }
};

TEST_F(ReorderOnLocalService, aReorderReachesTheServiceAndAFreshLogOnSeesTheNewOrder) {
    MakeAccount("ann", {"alpha", "bravo", "charlie", "delta"});
    BuddyRestore restore(data.Path() / "restore.txt");
    Session s;
    ASSERT_TRUE(s.LogOn(server.BasePort(), "ann"));
    Dialog d(s, restore, s.Buddies());
    d.Select(3);
    for (int i = 0; i < 3; ++i) d.Click("MoveUBtn");  // delta to the top
    d.Select(2);
    d.Click("MoveDBtn");  // bravo to the bottom
    d.Click("OKBtn");
    ASSERT_TRUE(s.Pump([&] { return d.finished == 1; }));
    EXPECT_EQ(d.boxes.front().section(u'|', 0, 0), u"Success"_s);
    EXPECT_FALSE(d.ui.Canceled());
    s.wol.Quit();

    Session fresh;
    ASSERT_TRUE(fresh.LogOn(server.BasePort(), "ann"));
    EXPECT_EQ(fresh.Buddies(), "delta`alpha`charlie`bravo");
    EXPECT_TRUE(restore.Pending("ann").empty());
}

// Sends through the session, but the connection dies just as the first add would go out.
class DyingLink : public ReorderLink {
public:
    explicit DyingLink(WOLCon& wol) : wol_(wol), inner_(MakeWolReorderLink(wol)) {}
    void send(std::string_view command, Param param, std::shared_ptr<Callback> callback,
              std::string code) override {
        if (command.starts_with("ADDBUDDY ")) wol_.Interface().Disconnect();
        inner_->send(command, std::move(param), std::move(callback), std::move(code));
    }
    bool Connected() const override { return inner_->Connected(); }
    std::string NickName() const override { return inner_->NickName(); }

private:
    WOLCon& wol_;
    std::unique_ptr<ReorderLink> inner_;
};

TEST_F(ReorderOnLocalService,
       buddiesALostConnectionTookOffComeBackAtTheNextLogOnEvenAfterARestart) {
    MakeAccount("bob", {"alpha", "bravo", "charlie"});
    const auto file = data.Path() / "restore.txt";
    {
        BuddyRestore restore(file);
        Session s;
        ASSERT_TRUE(s.LogOn(server.BasePort(), "bob"));
        DyingLink link(s.wol);
        Dialog d(s, restore, s.Buddies());
        d.ui.SetLink(&link);
        d.Select(2);
        d.Click("MoveUBtn");  // alpha, charlie, bravo
        d.Click("OKBtn");
        ASSERT_TRUE(s.Pump([&] { return !d.boxes.empty(); }));
        EXPECT_TRUE(d.boxes[0].startsWith(u"Reorder failed|"_s)) << d.boxes[0].toStdString();
        EXPECT_TRUE(d.boxes[0].endsWith(
            u"These buddies will be added back at your next log-on: alpha, charlie, bravo."_s))
            << d.boxes[0].toStdString();
        d.Click("CancelBtn");
        EXPECT_EQ(d.finished, 1);
    }
    Session check;
    ASSERT_TRUE(check.LogOn(server.BasePort(), "bob"));
    EXPECT_EQ(check.Buddies(), "");  // every delete went through, no add did
    check.wol.Quit();

    // The program starts again: the record comes from its file.
    BuddyRestore restore(file);
    Session s;
    ASSERT_TRUE(s.LogOn(server.BasePort(), "bob"));
    auto link = MakeWolReorderLink(s.wol);
    EXPECT_EQ(restore.RestoreAtLogOn(*link, Split(s.Buddies())),
              (std::vector<std::string>{"alpha", "charlie", "bravo"}));
    ASSERT_TRUE(s.Pump([&] { return restore.Pending("bob").empty(); }));
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(s.Buddies(), "alpha`charlie`bravo");
}

}  // namespace
}  // namespace vantor::test
