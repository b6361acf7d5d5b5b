// SPDX-License-Identifier: MIT
// The reorder against the bundled local service, through real sessions.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <optional>

#include "common/wire_text.h"
#include "controls/vantor_btn.h"
#include "reorder/buddy_restore.h"
#include "reorder/reorder_ui.h"
#include "session/wolcon.h"
#include "settings/settings_store.h"
#include "support/local_server.h"
#include "support/pump.h"
#include "support/temp_registry.h"

namespace vantor::test {
namespace {

using namespace Qt::Literals::StringLiterals;

// One log-on to the service, pumped as the main window's timer would.
struct Session {
    WOLCon wol;
    std::optional<std::string> list;

    bool Pump(const std::function<bool()>& done) {
        return PumpUntil(done, [this] {
            wol.PopulateBuff();
            QApplication::processEvents();
        });
    }
    bool LogOn(int port, const std::string& nick) {
        int result = -1;
        wol.LogOnResult = [&result](int r) { result = r; };
        wol.BuddyListResult = [this](const std::string& l, int) { list = l; };
        return wol.connect(port) && (wol.LogOn(WolInfo{nick, "secret"}, false), true) &&
               Pump([&result] { return result == 0; });
    }
    std::string Buddies() {
        list.reset();
        wol.GetBuddies();
        return Pump([this] { return list.has_value(); }) ? *list : "(no answer)";
    }
};

TEST(ReorderOnLocalService, aReorderReachesTheServiceAndAFreshLogOnSeesTheNewOrder) {
    ScopedRegistry registry;
    LocalServer server;
    ASSERT_TRUE(server.Ok());
    SaveSettingString("ServerHost", "127.0.0.1");
    TempDir data;
    BuddyRestore restore(data.Path() / "restore.txt");
    Session s;
    ASSERT_TRUE(s.LogOn(server.BasePort(), "ann"));
    for (const char* b : {"alpha", "bravo", "charlie", "delta"})
        s.wol.send(std::string("ADDBUDDY ") + b);

    QStringList boxes;
    ReOrderUI ui;
    const std::string list = s.Buddies();
    for (std::string_view nick : SplitOn(list, '`'))
        ui.BuddyList()->addItem(QString::fromStdString(std::string(nick)));
    ui.Init();
    ui.SetWOL(&s.wol);
    ui.SetRestore(&restore);
    ui.SetBoxShower([&boxes](QWidget*, QMessageBox::Icon, const QString& title, const QString&) {
        boxes << title;
    });
    const auto click = [&ui](const char* name, int times = 1) {
        for (int i = 0; i < times; ++i)
            QTest::mouseClick(ui.findChild<VantorBtn*>(QString::fromLatin1(name)), Qt::LeftButton);
    };
    ui.show();
    ui.BuddyList()->setCurrentRow(3);
    click("MoveUBtn", 3);  // delta to the top
    ui.BuddyList()->setCurrentRow(2);
    click("MoveDBtn");  // bravo to the bottom
    click("OKBtn");
    ASSERT_TRUE(s.Pump([&] { return !boxes.empty(); }));
    EXPECT_EQ(boxes, QStringList{u"Success"_s});
    s.wol.Quit();

    Session fresh;
    ASSERT_TRUE(fresh.LogOn(server.BasePort(), "ann"));
    EXPECT_EQ(fresh.Buddies(), "delta`alpha`charlie`bravo");
    EXPECT_TRUE(restore.Pending("ann").empty());
}

}  // namespace
}  // namespace vantor::test
