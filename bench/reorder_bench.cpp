// SPDX-License-Identifier: MIT
// A reorder of 100 buddies against the bundled local service: OK on the reorder window until
// its Success box, with the session pumped every 200 ms as the main window's timer does and the
// windows painting in between. Target: under 2 s per reorder.
#include <unistd.h>

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QEventLoop>
#include <QListWidget>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "controls/message_box.h"
#include "reorder/buddy_restore.h"
#include "reorder/reorder_link.h"
#include "reorder/reorder_ui.h"
#include "session/wolcon.h"
#include "support/fake_settings.h"
#include "support/local_server.h"
#include "transport/wolcon2.h"

namespace {

using namespace vantor;

constexpr int kTickMs = 200;  // the main window's receive timer

// Counts the paint events of the windows while a run is on.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// Notes the reorder's success box instead of showing it.
class SuccessBox final : public MessageBoxes {
public:
    explicit SuccessBox(bool& success) : success_(success) {}
    void Show(QWidget*, BoxIcon, const QString& title, const QString&) override {
        success_ = title == QStringLiteral("Success");
    }
    bool Ask(QWidget*, const QString&, const QString&) override { return false; }

private:
    bool& success_;
};

// Runs the event loop, pumping the session every tick, until done() holds; false after 30 s.
bool RunUntil(WOLCon& wol, const std::function<bool()>& done, int* ticks = nullptr) {
    QEventLoop loop;
    QTimer tick;
    tick.setInterval(kTickMs);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        wol.PopulateBuff();
        if (ticks) ++*ticks;
        if (done()) loop.quit();
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    tick.start();
    if (!done()) loop.exec();
    return done();
}

void BM_Reorder(benchmark::State& state) {
    const int count = int(state.range(0));
    vantor::test::LocalServer server;
    vantor::test::TempDir work;
    if (!server.Ok() || ::chdir(work.Path().c_str()) != 0) {
        state.SkipWithError("no local service");
        return;
    }
    test::FakeSettings settings;
    SetSettingsSource(&settings);
    BuddyRestore restore(work.Path() / "restore.txt");
    {
        WOLCon wol;
        int logOn = -1;
        std::string list;
        bool listed = false;
        wol.LogOnResult = [&](LogOnResult result) { logOn = int(result); };
        wol.BuddyListResult = [&](const std::string& l, int) {
            list = l;
            listed = true;
        };
        if (!wol.connect(server.BasePort())) return state.SkipWithError("connect failed");
        wol.LogOn(WolInfo{"bench", "secret"}, false);
        std::vector<std::string> order;
        for (int i = 0; i < count; ++i) {
            char nick[16];
            std::snprintf(nick, sizeof nick, "b%03d", i);
            order.push_back(nick);
            wol.send(std::string("ADDBUDDY ") + nick);
        }
        wol.GetBuddies();
        const std::unique_ptr<ReorderLink> link = MakeWolReorderLink(wol);
        if (!RunUntil(wol, [&] { return logOn == 0 && listed; }))
            return state.SkipWithError("no log-on");

        PaintCounter counter;
        qApp->installEventFilter(&counter);
        int ticks = 0;
        for (auto _ : state) {
            std::reverse(order.begin(), order.end());
            ReOrderUI ui;
            for (const std::string& nick : order)
                ui.BuddyList()->addItem(QString::fromStdString(nick));
            ui.Init();
            ui.SetWOL(link.get());
            ui.SetRestore(&restore);
            bool success = false;
            SuccessBox boxes(success);
            ui.SetMessageBoxes(&boxes);
            ui.show();
            QMetaObject::invokeMethod(ui.findChild<QWidget*>(QStringLiteral("OKBtn")), "click");
            if (!RunUntil(
                    wol, [&] { return success; }, &ticks))
                return state.SkipWithError("no Success box");
        }
        qApp->removeEventFilter(&counter);
        state.counters["ticks/reorder"] = double(ticks) / double(state.iterations());
        state.counters["paints/reorder"] = double(counter.paints) / double(state.iterations());
        wol.Quit();
    }
    SetSettingsSource(nullptr);
}
BENCHMARK(BM_Reorder)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace
