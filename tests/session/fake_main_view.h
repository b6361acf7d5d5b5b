// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "session/main_session.h"

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

}  // namespace vantor::test
