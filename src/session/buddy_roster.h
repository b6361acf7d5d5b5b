// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/liveness.h"
#include "session/buddy_order.h"
#include "session/buddy_watch.h"
#include "session/location_search.h"
#include "session/main_view.h"
#include "session/wolcon.h"
#include "transport/callback.h"

namespace vantor {

// What the buddy list needs of the session it belongs to.
class RosterHost {
public:
    virtual ~RosterHost() = default;
    virtual WOLCon& WOL() = 0;
    virtual bool LoggedOn() const = 0;
    virtual bool Ended() const = 0;
    virtual std::int32_t ServerIndex() const = 0;                    // of the current log-on
    virtual std::optional<std::uint32_t> ServerAddress() const = 0;  // looked up at log-on
    virtual double Now() const = 0;                                  // the session's clock
    virtual void ControlsChanged() = 0;  // the list's buttons changed: show them
    virtual void SetStatus(const std::string& text) = 0;
    virtual void Tell(const Told& told) = 0;
};

// The main window's buddy list as data: the rows with where each buddy is per location column,
// the server mode, the location search and its progress, and the changes made to the list
// (ADDBUDDY, DELBUDDY, a reorder's download). It sets the list's fields of the shared controls
// and reports rows and cells to the MainView; the session tells it what its log-on and link do.
class BuddyRoster : public BuddyTable, private LocationView {
public:
    BuddyRoster(RosterHost& host, MainView& view, MainControls& controls);
    ~BuddyRoster() override;
    BuddyRoster(const BuddyRoster&) = delete;
    BuddyRoster& operator=(const BuddyRoster&) = delete;

    ServerMode Mode() const override { return mode_; }
    const std::vector<BuddyRow>& Rows() const override { return rows_; }
    int Columns() const;  // location columns of Mode()
    // How the rows are drawn ("BuddySort", "BuddyHideOffline"): positions to rows and back.
    const BuddyOrder& Order() const override { return order_; }
    // The location column the order and the icons go by: the server logged on to.
    int DecidingColumn() const override;
    // When each location of the row was last filled (seconds since the epoch, kNever), by
    // column; and the clock that says so, which tests set.
    const std::vector<std::int64_t>& LookedUp(int row) const override;
    using WallClock = std::function<std::int64_t()>;
    void SetWallClock(WallClock clock);  // nullptr: the system's
    std::int64_t WallNow() const override { return wallClock_(); }
    // Ends when the list is next cleared: a caller that let events run checks it.
    Liveness::Watch ListWatch() const { return listFill_.watch(); }
    WOLCons* TempSessions() const { return search_.Sessions(); }
    int RepliesReceived() const { return search_.Received(); }
    int RepliesExpected() const { return search_.Expected(); }
    int RefreshMinutes() const { return refreshMinutes_; }

    void SetListMender(ListMender mender);
    void SetDecimalPoint(std::string point);  // the system's, for "Search completed in" texts

    // The list's commands; rows count from 1.
    void RefreshLocations();
    void RefreshRow(int row);
    void ReDownload();
    void AddBuddy(const std::string& nick);  // a nickname NicknameToAdd allowed
    void DeleteBuddy(int row);               // after the user said Yes
    void ReorderFinished(bool listChanged);
    // The view order chosen (and remembered), or the settings changed elsewhere: drawn anew.
    void SetViewOrder(BuddySort sort, bool hideOffline);
    void ApplyViewSettings();
    // Its timers: SearchPoll, SearchIdle, RefBuddy.
    void PumpSearch();
    void SearchIdle();
    void RefBuddy_Timer();

    // What the session's log-on and link mean for the list.
    void WOL_BuddyListResult(const std::string& list, int result);
    void LoggedOn();  // the list that follows is the log-on's: what a reorder took goes back
    void LinkBack();  // logged on again after a lost link: the list comes afresh
    void LinkLost();
    void LoggingOff();  // the buttons go first
    void LoggedOff();   // then the rows
    void StopSearch();
    void Tick();  // each receive tick: a list that came back is searched once its link held

private:
    void FillBuddyList(const std::string& list);
    void SetupColumns(bool allServers);
    ViewRule SettingsRule() const;
    void Redraw();  // every row, in the order of the settings
    void AddRow(const std::string& nick, bool filling);
    void ClearBuddyList();
    void SetSearchControls(bool on);
    void FinishSearch();
    void BudCheckCB_Callback(const std::string& line, Delivery kind, const Param& param);

    // What the location search shows.
    void ShowLocation(int row, int column, const std::string& location) override;
    void ShowProgress(int value, int max) override;
    void SetIdleTimer(bool running) override;
    void SetPollTimer(bool running) override;
    void SearchEnded(const SearchResult& result) override;
    void RowRefreshed(int row, const std::string& location) override;

    RosterHost& host_;
    MainView& view_;
    MainControls& controls_;
    std::shared_ptr<Callback> budCheckCB_;
    LocationSearch search_;  // owns the temporary sessions (TempSessions)
    BuddyWatch buddyWatch_;  // where buddies were, for alerts when they move
    ListMender mender_;
    std::string decimalPoint_ = ".";

    ServerMode mode_ = ServerMode::None;
    std::vector<BuddyRow> rows_;
    std::vector<std::vector<std::int64_t>> lookedUp_;  // by row - 1, then column - 1
    BuddyOrder order_;
    WallClock wallClock_;
    bool restoreDue_ = false;  // set by a log-on, spent by the list that follows it
    int refreshMinutes_ = 0;
    int progressMax_ = 0;     // of the progress bar, kept while its value goes back to 0
    double searchStart_ = 0;  // SearchStart and SearchEnd, seconds since midnight
    double searchEnd_ = 0;
    double linkUpAt_ = -1;    // when a lost link came back; -1: the user logged on
    bool searchDue_ = false;  // the list that came back waits for its link to hold
    Liveness listFill_;       // renewed by each clearing, so a filling interrupted by one stops
    Liveness alive_;
};

// "Search completed in 2.35 seconds": the elapsed time from start to end (seconds since
// midnight; an end before the start has passed midnight) in hundredths, without trailing
// zeros, with the given decimal point.
std::string SearchCompletedText(double start, double end, const std::string& decimalPoint);

// The time of day in seconds since local midnight, with fractions.
double SecondsSinceMidnight();

}  // namespace vantor
