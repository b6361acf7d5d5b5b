// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "session/main_session.h"
#include "settings/settings_store.h"
#include "support/loopback_peer.h"
#include "support/pump.h"
#include "support/temp_registry.h"

namespace vantor::test {

// Records what a MainSession shows and asks, and runs its deferred steps when told to.
struct FakeMainView : MainView {
    std::string logAs = "Not Connected";
    std::string status;
    MainControls controls;
    std::vector<std::pair<int, int>> progress;  // value, max
    std::vector<ListChange> changes;
    std::map<MainTimer, bool> timers;
    std::vector<std::function<void()>> later;
    std::vector<Told> told;
    std::vector<std::string> motds;
    std::vector<std::string> moved;  // "nick: news"
    std::vector<bool> links;         // true: went down
    int loggingOff = 0;
    int searches = 0;  // location searches started
    int asked = 0;
    bool reorderTells = false;
    std::vector<std::optional<ErrorCode>> reorderHeard;
    std::function<void(const ListChange&)> onList;  // runs for every change, as a row's events

    void ShowLogAs(const std::string& text) override { logAs = text; }
    void ShowStatus(const std::string& text) override { status = text; }
    void ShowControls(const MainControls& c) override { controls = c; }
    void ShowProgress(int value, int max) override { progress.emplace_back(value, max); }
    void ShowList(const ListChange& change) override {
        changes.push_back(change);
        if (onList) onList(change);
    }
    void SetTimer(MainTimer timer, bool running) override {
        if (timer == MainTimer::SearchPoll && running && !Running(timer)) ++searches;
        timers[timer] = running;
    }
    void Later(int, std::function<void()> step) override { later.push_back(std::move(step)); }
    void Tell(const Told& t) override { told.push_back(t); }
    void ShowMotd(const std::string& news) override { motds.push_back(news); }
    void BuddyMoved(const std::string& nick, const std::string& news) override {
        moved.push_back(nick + ": " + news);
    }
    void LinkChanged(bool down) override { links.push_back(down); }
    void LoggingOff() override { ++loggingOff; }
    void AskLogOn() override { ++asked; }
    bool TellReorder(std::optional<ErrorCode> error) override {
        reorderHeard.push_back(error);
        return reorderTells;
    }
    void Waiting(bool) override {}

    bool Running(MainTimer timer) const {
        const auto it = timers.find(timer);
        return it != timers.end() && it->second;
    }
    // The deferred steps, as the event loop would run them (steps they defer wait for the next).
    void RunLater() {
        std::vector<std::function<void()>> steps = std::move(later);
        later.clear();
        for (auto& step : steps) step();
    }
};

inline const std::string kUserLine = "USER UserName HostName 127.0.0.1 :RealName";

// A main session pointed at a scripted peer, with a clock of the test's own.
struct MainFixture {
    ScopedRegistry registry;
    LoopbackPeer peer;
    FakeMainView view;
    MainSession session{view};
    double now = 1000;

    MainFixture() {
        SaveSettingString("ServerHost", "127.0.0.1");
        SaveSettingLong("ServerPort", peer.Port());
        session.SetClock([this] { return now; });
        session.Reconnect().SetJitter([](double) { return 0.0; });
    }

    // One round of what the window's timers run: deferred steps, a receive pass, a search poll.
    void Tick() {
        view.RunLater();
        if (view.Running(MainTimer::Receive)) session.Pump();
        if (view.Running(MainTimer::SearchPoll)) session.Buddies().PumpSearch();
    }
    bool Pump(const std::function<bool()>& done) {
        return PumpUntil(done, [this] { Tick(); });
    }
    // The log-on lines are out and the peer has them.
    bool StartLogOn() {
        session.LogOn("bob", "pw");
        return peer.Accept() && peer.WaitForLine(kUserLine);
    }
    // The message of the day to its end; then logged on, also on the way back.
    bool AnswerMotd() {
        peer.SendLine(":s 375 bob :- Welcome");
        peer.SendLine(":s 372 bob :- <news>Hello</news>");
        peer.SendLine(":s 376 bob :End of MOTD");
        return Pump([this] { return session.LoggedOn() && !session.Reconnect().Active(); });
    }
    // The list comes, and with it the search unless it waits for the link to hold.
    bool AnswerList(const std::string& list) {
        if (!peer.WaitForLine("GETBUDDY")) return false;
        peer.SendLine(":s 333 bob" + (list.empty() ? std::string() : " " + list));
        return Pump([this] { return session.Controls().page; });
    }
    bool LogOnWithList(const std::string& list) {
        return StartLogOn() && AnswerMotd() && AnswerList(list);
    }
    std::size_t Count(const std::string& line) {
        return std::size_t(std::ranges::count(peer.Lines(), line));
    }
};

}  // namespace vantor::test
