// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
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
    // Runs while a search of all rows is on, every few milliseconds: each time, the view calls
    // Poll and then gives every session of Sessions() a receive pass.
    virtual void SetPollTimer(bool running) = 0;
    // A search of all rows ended by itself; its sessions are gone already.
    virtual void SearchEnded(const SearchResult& result) = 0;
    // The answer to RefreshRow; row as sent, or -1 when the answer's tag cannot be read.
    virtual void RowRefreshed(int row, const std::string& location) = 0;
};

// Finds where buddies are. A search of all rows opens one temporary, not logged-on session per
// nickname and port, sends one query on each once it is connected and closes each when its
// answer arrives. Nothing waits for the network: connects are started and then checked by Poll,
// at most kMaxOpen sessions are open at once and the other queries wait their turn in order. A
// refused connect fails its own query only, and so does a connection closed before its answer; a
// connect that times out gives up the rest of its column. A single row is asked on a session the
// caller already has. Every query carries the callback given at construction, whose owner hands its
// event to Answer.
class LocationSearch {
public:
    // A search with no answer for this long gives up on the missing ones.
    static constexpr int kIdleMs = 30000;
    // Each session holds a descriptor, and a process has about a thousand by default.
    static constexpr int kMaxOpen = 64;

    LocationSearch(LocationView& view, std::shared_ptr<Callback> answers);
    ~LocationSearch();
    LocationSearch(const LocationSearch&) = delete;
    LocationSearch& operator=(const LocationSearch&) = delete;

    // Replaces any running search: asks where each nickname is as seen through each port, the
    // answers from ports[c - 1] going to column c, connecting to the address given (network byte
    // order; nothing fails every query).
    void Start(const std::vector<std::string>& nicks, const std::vector<std::int32_t>& ports,
               std::optional<std::uint32_t> address);
    // Finishes the connects under way, sends the queries of those that are up and opens the
    // next ones.
    void Poll();
    void RefreshRow(WOLCon& session, int row, const std::string& nick);
    void Cancel();  // quits every temporary session; SearchEnded is not raised
    void IdleTimeOut();
    void Answer(const std::string& line, Delivery kind, const Param& param);

    WOLCons* Sessions() const { return sessions_.get(); }  // nullptr when no search runs
    int Received() const { return received_; }             // of the running or last search
    int Expected() const { return expected_; }

private:
    enum class State { Waiting, Connecting, Asked, Done };
    struct Query {
        State state = State::Waiting;
        std::string key;  // of its session while one is open
    };

    void Fill();
    void Open(int position);
    void Advance(int position);
    void Fail(int position);
    void FailClosed();
    void CheckDone();
    void End(SearchResult::End end);

    LocationView& view_;
    std::shared_ptr<Callback> answers_;
    std::unique_ptr<WOLCons> sessions_;
    std::vector<std::string> nicks_;
    std::vector<std::int32_t> ports_;
    std::optional<std::uint32_t> address_;
    std::vector<Query> queries_;    // by position - 1: (column - 1) * rows + row
    std::vector<int> connecting_;   // positions whose connect is under way
    std::vector<bool> columnDown_;  // by column - 1: a connect there timed out
    std::size_t next_ = 0;          // index of the next query to open
    int open_ = 0;                  // sessions open
    int rows_ = 0;
    int expected_ = 0;
    int received_ = 0;
    int failed_ = 0;
    Liveness run_;  // renewed by each search started and stopped
};

}  // namespace vantor
