// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/liveness.h"
#include "session/wolcon.h"
#include "transport/callback.h"

namespace vantor {

// How a search of all rows ended.
struct SearchResult {
    enum class End { NothingToAsk, Completed, TimedOut };
    End end = End::Completed;
    int received = 0;  // answers counted
    int expected = 0;  // queries meant: rows times ports
    int failed = 0;    // queries whose connection could not be made
};

// What a location search needs from the window that shows it. Rows and columns count from 1.
// A call-out may cancel the search or start another (never destroy it); the search then stops
// what it was doing.
class LocationView {
public:
    virtual ~LocationView() = default;
    virtual void ShowLocation(int row, int column, const std::string& location) = 0;
    virtual void ShowProgress(int value, int max) = 0;  // max changes only when a search starts
    // Runs while answers are awaited and restarts with each one; when it runs out, the view
    // calls IdleTimeOut.
    virtual void SetIdleTimer(bool running) = 0;
    // Between two queries: pending window events run, then one receive pass of every session.
    virtual void LetEventsRun() = 0;
    virtual void RunReceivePass() = 0;
    // A search of all rows ended by itself; its sessions are gone already.
    virtual void SearchEnded(const SearchResult& result) = 0;
    // The answer to RefreshRow; row as sent, or -1 when the answer's tag cannot be read.
    virtual void RowRefreshed(int row, const std::string& location) = 0;
};

// Finds where buddies are. A search of all rows opens one temporary, not logged-on session per
// nickname and port, sends one query on each and closes each when its answer arrives; a port that
// refuses a connection is not tried again for the rest of its column. A single row is asked on
// a session the caller already has. Every query carries the callback given at construction,
// whose owner hands its event to Answer.
class LocationSearch {
public:
    // A search with no answer for this long gives up on the missing ones.
    static constexpr int kIdleMs = 30000;

    LocationSearch(LocationView& view, std::shared_ptr<Callback> answers);
    ~LocationSearch();
    LocationSearch(const LocationSearch&) = delete;
    LocationSearch& operator=(const LocationSearch&) = delete;

    // Replaces any running search: asks where each nickname is as seen through each port, the
    // answers from ports[c - 1] going to column c.
    void Start(const std::vector<std::string>& nicks, const std::vector<std::int32_t>& ports);
    void RefreshRow(WOLCon& session, int row, const std::string& nick);
    void Cancel();  // quits every temporary session; SearchEnded is not raised
    void IdleTimeOut();
    void Answer(const std::string& line, Delivery kind, const Param& param);

    WOLCons* Sessions() const { return sessions_.get(); }  // nullptr when no search runs
    int Received() const { return received_; }             // of the running or last search
    int Expected() const { return expected_; }

private:
    bool Send(int row, int column, const std::string& nick, std::int32_t port);
    void CheckDone();
    void End(SearchResult::End end);

    LocationView& view_;
    std::shared_ptr<Callback> answers_;
    std::unique_ptr<WOLCons> sessions_;
    std::vector<std::string> keys_;  // the session key of each query, by its position
    int rows_ = 0;
    int expected_ = 0;
    int received_ = 0;
    int failed_ = 0;
    Liveness run_;  // renewed by each search started and stopped
};

}  // namespace vantor
