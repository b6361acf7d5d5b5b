// SPDX-License-Identifier: MIT
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "app_fixture.h"
#include "controls/prog_bar.h"
#include "pages/page_router.h"
#include "support/demo_places.h"
#include "support/hanging_port.h"
#include "support/local_server.h"

namespace vantor::test {
namespace {

using namespace Qt::Literals::StringLiterals;

bool PortOpen(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool open = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return open;
}

struct SearchFixture : MainWindowFixture {
    bool Completed() const { return Text("Status").startsWith(QStringLiteral("Search completed")); }
    // The buttons and the menu item a running search holds disabled.
    QString SearchControls() const {
        QStringList on;
        for (const char* b : {"RefreshBud", "AddBud", "DelBud", "ReOrdBud"})
            if (Btn(b)->Enabled()) on << QString::fromLatin1(b);
        if (Item("BuddyMnu_Ref")->isEnabled()) on << QStringLiteral("BuddyMnu_Ref");
        return on.join(QLatin1Char(' '));
    }
};
const QString kAllOn = QStringLiteral("RefreshBud AddBud DelBud ReOrdBud BuddyMnu_Ref");

// A main window pointed at the bundled service with its demo users.
struct DemoFixture : SearchFixture {
    LocalServer server{/*demo=*/true};

    // Logs on as demo through the given server and waits for the first search to complete.
    bool LogOnAsDemo(int serverIndex = 0) {
        if (!server.Ok()) return false;
        SaveSettingLong("Server", serverIndex);
        SaveSettingLong("ServerPort", server.BasePort() - serverIndex);
        answers.push_back(LogOnAnswer{false, QStringLiteral("demo"), QStringLiteral("demo")});
        Click("LogInBtn");
        return PumpUi([this] { return Completed(); });
    }
};

// Searched on the server of the log-on only, or on all three with the first one unreachable.
TEST(LocationSearch, demoBuddiesShowWhereTheyAreAndTheSearchCountsEveryAnswer) {
    for (int allServers : {0, 1}) {
        SCOPED_TRACE(allServers);
        DemoFixture f;
        ASSERT_TRUE(f.server.Ok());
        // Logged on to the second server, the first sits just below the service's ports.
        if (allServers && PortOpen(f.server.BasePort() - 1))
            GTEST_SKIP() << "the port below the service is taken";
        SaveSettingLong("ScanBuddyOtherServer", allServers);
        const int columns = allServers ? 3 : 1;
        // While answers come in, the search holds its controls and the bar counts up.
        QStringList controlsWhileRunning;
        std::vector<int> barMax;
        QObject::connect(f.List()->model(), &QAbstractItemModel::dataChanged, f.main.get(), [&] {
            if (f.main->Session().Buddies().TempSessions()) {
                controlsWhileRunning << f.SearchControls();
                barMax.push_back(f.Find<ProgBar>("ProgBar")->Max());
            }
        });
        ASSERT_TRUE(f.LogOnAsDemo(/*serverIndex=*/allServers));

        ASSERT_EQ(f.List()->topLevelItemCount(), kDemoBuddies);
        for (const auto& [nick, place] : kDemoPlaces)
            for (int c = 1; c <= columns; ++c)
                EXPECT_EQ(f.Cell(nick, c),
                          c == 1 && allServers ? u"Unknown"_s : QString::fromLatin1(place))
                    << nick << " column " << c;
        ASSERT_FALSE(controlsWhileRunning.isEmpty());
        EXPECT_EQ(controlsWhileRunning.front(), QString());
        EXPECT_EQ(barMax.front(), kDemoBuddies * columns);
        EXPECT_EQ(f.main->Session().Buddies().RepliesReceived(),
                  kDemoBuddies * (allServers ? 2 : 1));
        EXPECT_TRUE(f.Text("Status").endsWith(allServers ? u" seconds (8 of 24 could not connect)"_s
                                                         : u" seconds"_s))
            << f.Text("Status").toStdString();
        EXPECT_FALSE(f.Timer("SearchTimer")->isActive());
        EXPECT_EQ(f.SearchControls(), kAllOn);
        if (!allServers) continue;

        // Logged on to the second server, the main session answers for its column.
        f.Select("echo");
        f.List()->currentItem()->setText(2, u"stale"_s);
        f.Item("BuddyMnu_RefUsr")->trigger();
        ASSERT_TRUE(PumpUi([&] { return f.Cell("echo", 2) == u"Logged In"_s; }));
        EXPECT_EQ(f.Cell("echo", 1), u"Unknown"_s);
    }
}

TEST(LocationSearch, everyWayToRefreshFillsTheCellsAgain) {
    DemoFixture f;
    SaveSettingLong("AutoBuddyRefresh", 1);
    SaveSettingLong("AutoBuddyRefreshInt", 3);
    ASSERT_TRUE(f.LogOnAsDemo());
    auto stale = [&] {
        for (int i = 0; i < f.List()->topLevelItemCount(); ++i)
            f.List()->topLevelItem(i)->setText(1, QStringLiteral("stale"));
    };
    auto refilled = [&] {
        return f.Completed() && f.Cell("tanker", 1) == QStringLiteral("Game: ColdFront") &&
               f.Cell("guest", 1) == QStringLiteral("Not Logged In");
    };

    // One buddy through the main session: only its cell, the counters stay.
    stale();
    f.Select("shade");
    f.Item("BuddyMnu_RefUsr")->trigger();
    ASSERT_TRUE(PumpUi([&] { return f.Cell("shade", 1) == QStringLiteral("Hiding"); }));
    EXPECT_EQ(f.Cell("tanker", 1), QStringLiteral("stale"));
    EXPECT_EQ(f.main->Session().Buddies().RepliesReceived(), kDemoBuddies);
    EXPECT_EQ(f.SearchControls(), kAllOn);

    stale();
    f.main->SetStatus(QString());
    f.Item("BuddyMnu_Ref")->trigger();
    ASSERT_TRUE(PumpUi(refilled));

    // Every third minute, not before.
    stale();
    f.main->SetStatus(QString());
    f.Tick("RefBuddy");
    f.Tick("RefBuddy");
    EXPECT_FALSE(f.main->Session().Buddies().TempSessions());
    f.Tick("RefBuddy");
    ASSERT_TRUE(PumpUi(refilled));

    // Switched off, the timer stops at its next tick without counting.
    SaveSettingLong("AutoBuddyRefresh", 0);
    f.Tick("RefBuddy");
    EXPECT_FALSE(f.Timer("RefBuddy")->isActive());
}

TEST(LocationSearch, unansweredSearchGivesUpAfterItsIdleTimeOrStopsAtLogOff) {
    SearchFixture f;  // the peer takes the search connections but never answers them
    ASSERT_TRUE(f.LogOnWithList("alice`Alice`carol"));
    // The same nickname in another case still gets a connection of its own.
    EXPECT_EQ(f.main->Session().Buddies().TempSessions()->Count(), 3u);
    EXPECT_EQ(f.SearchControls(), QString());
    EXPECT_TRUE(f.Timer("SearchTimer")->isActive());

    f.Tick("SearchTimer");
    EXPECT_EQ(f.Text("Status"), QStringLiteral("Search timed out: 0 of 3 locations found"));
    EXPECT_FALSE(f.main->Session().Buddies().TempSessions());
    EXPECT_EQ(f.Cell("carol", 1), QStringLiteral("Unknown"));
    EXPECT_EQ(f.SearchControls(), kAllOn);

    f.Click("RefreshBud");
    ASSERT_TRUE(f.main->Session().Buddies().TempSessions());
    f.Click("LogInBtn");
    EXPECT_FALSE(f.main->Session().Buddies().TempSessions());
    EXPECT_FALSE(f.Timer("SearchTimer")->isActive());
    EXPECT_EQ(f.SearchControls(), QString());
    EXPECT_EQ(f.List()->topLevelItemCount(), 0);
}

// The main session stays served while the first search starts and runs: a PING that comes with
// the buddy list and a page that comes once the search runs are both handled, while the search's
// own connects hang (first column), are refused or wait for answers that never come.
TEST(LocationSearch, theMainSessionIsServedWhileTheFirstSearchStartsAndRuns) {
    SearchFixture f;
    HangingPort hanging;
    ASSERT_TRUE(hanging.Hangs()) << "connection attempts to a full backlog do not hang here";
    SaveSettingLong("ScanBuddyOtherServer", 1);
    ASSERT_TRUE(f.LogOnAsBob() && f.peer.WaitForLine("GETBUDDY"));
    // The search goes to the port of the log-on and the two after it.
    SaveSettingLong("ServerPort", hanging.Port());
    std::string list;
    for (int i = 0; i < 20; ++i) list += (i ? "`buddy" : "buddy") + std::to_string(i);
    f.peer.Send(":s 333 bob " + list + "\r\nPING :s\r\n");
    ASSERT_TRUE(f.peer.WaitForLine("PONG bob :", std::chrono::seconds(0)) ||
                PumpUi([&] { return f.peer.WaitForLine("PONG bob :", std::chrono::seconds(0)); }));
    ASSERT_TRUE(PumpUi([&] { return f.main->Session().Buddies().TempSessions() != nullptr; }));
    f.peer.SendLine(":alice!u@127.0.0.1 PAGE bob :hello");
    ASSERT_TRUE(PumpUi([&] { return f.main->WOL().Pages().Find("alice") != nullptr; }));
    EXPECT_TRUE(f.main->Session().Buddies().TempSessions());
    EXPECT_EQ(f.List()->topLevelItemCount(), 20);
}

}  // namespace
}  // namespace vantor::test
