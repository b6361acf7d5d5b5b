// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/liveness.h"
#include "session/buddy_watch.h"
#include "session/location_search.h"
#include "session/reconnect_policy.h"
#include "session/wolcon.h"
#include "transport/callback.h"
#include "transport/wolcon2.h"

namespace vantor {

class HostLookup;

// Where the main session's log-on stands.
enum class LogOnStep {
    Offline,     // LOG is offered
    Connecting,  // the log-on dialog was answered; the server's address is being looked up
    LoggingOn,   // the log-on lines are out and the message of the day has not ended
    Online,      // logged on, also while a lost link is being mended
    Ended,       // the program is ending: nothing more is started or told
};

// The word on the log-in button.
enum class LogInWord { Log, Logout, Cancel };

// Which of the main window's buttons and menu items are on, and what the log-in button reads.
struct MainControls {
    bool logIn = true;
    LogInWord word = LogInWord::Log;
    bool chat = false;
    bool page = false;
    bool add = false;
    bool del = false;
    bool refresh = false;
    bool reorder = false;
    bool menuRefresh = false;     // BuddyMnu_Ref
    bool menuReDownload = false;  // BuddyMnu_ReDL
    bool menuRefreshRow = false;  // BuddyMnu_RefUsr
    bool operator==(const MainControls&) const = default;
};

// How many location columns the list has: none before the first list, one for the server logged
// on to, or one per server. Decided by "ScanBuddyOtherServer" when the list is filled.
enum class ServerMode { None, OneServer, AllServers };
inline constexpr int kServerCount = 3;

// One buddy as the list shows it: the nickname (wire text) and where the buddy is as seen by
// each location column, column 1 first.
struct BuddyRow {
    std::string nick;
    std::vector<std::string> locations;
    bool operator==(const BuddyRow&) const = default;
};

// What changed in the buddy list; the window reads the rows from Rows() when told.
struct ListChange {
    enum class Kind {
        Cleared,  // no rows and no columns
        Columns,  // the columns of Mode() are set up
        Added,    // row added at the end; its pending window events may run
        Cell,     // the location of row, column changed
        Removed,  // row taken out; the rows after it move up
    };
    Kind kind{Kind::Cleared};
    int row{0};           // 1-based
    int column{0};        // 1-based location column
    bool filling{false};  // Added: a row of a list being filled; pending window events run
};

// The timers the session runs on; the window owns them.
enum class MainTimer {
    Receive,     // BuffTimer, every 200 ms: Pump
    Minute,      // RefBuddy, every minute: RefBuddy_Timer
    SearchIdle,  // a search's idle time: SearchIdle
    SearchPoll,  // every few milliseconds while a search has sessions: PumpSearch
};

// What the user must be told in a box.
enum class MainMessage {
    NicknameInUse,      // 433
    NoNickname,         // 431
    PasswordIncorrect,  // ERROR "(Password needed for that nickname.)"
    Error,              // any other error, by its code
    BuddiesRestored,    // an unfinished reorder's buddies were added back
};

// A message and what it names.
struct Told {
    MainMessage message{MainMessage::Error};
    ErrorCode code{ErrorCode::Server};  // for Error
    std::vector<std::string> nicks{};   // for BuddiesRestored
};

// What the main session shows and asks of the main window. Calls come from the session's
// operations and from inside receive passes. A call may let events run (a box, a row's pending
// events) and re-enter the session, but never destroys it; the session then stops what it was
// doing when its watch says so. Texts are bytes as FromWire reads them: Windows-1252, or UTF-8.
class MainView {
public:
    virtual ~MainView() = default;
    virtual void ShowLogAs(const std::string& text) = 0;
    virtual void ShowStatus(const std::string& text) = 0;  // "" is the offline status
    virtual void ShowControls(const MainControls& controls) = 0;
    virtual void ShowProgress(int value, int max) = 0;
    virtual void ShowList(const ListChange& change) = 0;
    virtual void SetTimer(MainTimer timer, bool running) = 0;
    // Runs `step` from the event loop after `ms` milliseconds (0: once the running pass has
    // unwound).
    virtual void Later(int ms, std::function<void()> step) = 0;
    virtual void Tell(const Told& told) = 0;
    virtual void ShowMotd(const std::string& news) = 0;                             // wire text
    virtual void BuddyMoved(const std::string& nick, const std::string& news) = 0;  // wire text
    // The main link went down or came back: the other windows say so.
    virtual void LinkChanged(bool down) = 0;
    virtual void LoggingOff() = 0;  // a log-off closes the lobby window and the buddy menu
    virtual void AskLogOn() = 0;    // the log-in click once more: the log-on dialog
    // The main session failed while a reorder may run: the reorder hears of it first. An error
    // (none: the connection closed); true when the reorder's own box tells the user.
    virtual bool TellReorder(std::optional<ErrorCode> error) = 0;
    // The connect that waits (at most the connect time-out) is under way.
    virtual void Waiting(bool waiting) = 0;
};

// What a log-on's first list puts back at its end: the buddies an unfinished reorder took off.
using ListMender = std::function<std::vector<std::string>(const std::vector<std::string>& list)>;

// The main window's session: whether the user is logged on, the log-on and log-off flow and its
// results, the buddy list with where each buddy is, the location search, the way back after a
// lost link, and the reply handlers behind them. No Qt: it reports to a MainView, asks it for
// its timers, and takes its time from a clock tests turn by hand.
class MainSession : private LocationView {
public:
    using Clock = std::function<double()>;  // seconds on a steady clock

    explicit MainSession(MainView& view);
    ~MainSession() override;
    MainSession(const MainSession&) = delete;
    MainSession& operator=(const MainSession&) = delete;

    // State.
    LogOnStep Step() const { return step_; }
    bool LoggedOn() const { return step_ == LogOnStep::Online; }
    bool Ended() const { return step_ == LogOnStep::Ended; }
    const MainControls& Controls() const { return controls_; }
    const std::string& LogAs() const { return logAs_; }
    const std::string& Status() const { return status_; }
    ServerMode Mode() const { return mode_; }
    const std::vector<BuddyRow>& Rows() const { return rows_; }
    int Columns() const;  // location columns of Mode()
    // Ends when the list is next cleared: a caller that let events run checks it.
    Liveness::Watch ListWatch() const { return listFill_.watch(); }

    WOLCon& WOL() { return *wol_; }
    WolInfo& Credentials() { return credentials_; }
    WOLCons* TempSessions() const { return search_.Sessions(); }
    int RepliesReceived() const { return search_.Received(); }
    int RepliesExpected() const { return search_.Expected(); }
    int RefreshMinutes() const { return refreshMinutes_; }
    ReconnectPolicy& Reconnect() { return reconnect_; }

    void SetClock(Clock clock);  // also the reconnect policy's; nullptr restores the steady clock
    void SetListMender(ListMender mender);
    void SetDecimalPoint(std::string point);  // the system's, for "Search completed in" texts

    // The log-in button: the dialog's answer (wire text); CANCEL while logging on.
    void LogOn(const std::string& nick, const std::string& password);
    void CancelLogOn();
    void LogOff();  // the LOGOUT click
    void End();     // the program ends: logs off first when logged on

    // The timers and the receive pumps.
    void Pump();        // BuffTimer: one receive pass of the main session
    void PumpSearch();  // SearchPoll: the search's connects and passes
    void SearchIdle();
    void RefBuddy_Timer();

    // The buddy list's commands; rows count from 1.
    void RefreshLocations();
    void RefreshRow(int row);
    void ReDownload();
    void AddBuddy(const std::string& nick);  // a nickname NicknameToAdd allowed
    void DeleteBuddy(int row);               // after the user said Yes
    void ReorderFinished(bool listChanged);
    // The lobby window opened or went.
    void ChatShown(bool open);

    // A line for the status line from elsewhere (a file that cannot be written).
    void SetStatus(const std::string& text);

private:
    class Closing;

    // The handlers of the session's events and of the location queries.
    void WOL_LogOnResult(LogOnResult result);
    void WOL_Error(ErrorCode code);
    void WOL_BuddyListResult(const std::string& list, int result);
    void BudCheckCB_Callback(const std::string& line, Delivery kind, const Param& param);

    void ShowControls();
    void Tell(const Told& told);
    void SetLogAs(const std::string& text);
    void SetSearchControls(bool on);
    void ConnectAndLogOn();
    void ResetConnection();
    void QuitSession();
    void Reason(const std::string& sentence);
    std::string ErrorReason(ErrorCode code) const;

    void KeepLinkAlive();
    void MainLinkClosed();
    void LinkLost();
    void ReconnectTick();
    void ReconnectFailed();
    void ShowReconnectWait();
    bool ReconnectError(ErrorCode code);
    bool ReconnectAnswered(LogOnResult result);
    void LinkRestored();
    void CheckLogOnTime();
    void CheckSearchDue();

    void FillBuddyList(const std::string& list);
    void SetupColumns(bool allServers);
    void ClearBuddyList();
    void StopSearch();
    void FinishSearch();

    // What the location search shows.
    void ShowLocation(int row, int column, const std::string& location) override;
    void ShowProgress(int value, int max) override;
    void SetIdleTimer(bool running) override;
    void SetPollTimer(bool running) override;
    void SearchEnded(const SearchResult& result) override;
    void RowRefreshed(int row, const std::string& location) override;

    MainView& view_;
    std::unique_ptr<WOLCon> wol_;
    WolInfo credentials_;
    std::shared_ptr<Callback> budCheckCB_;
    LocationSearch search_;                   // owns the temporary sessions (TempSessions)
    std::unique_ptr<HostLookup> hostLookup_;  // the server's address, once per log-on
    ReconnectPolicy reconnect_;
    BuddyWatch buddyWatch_;  // where buddies were, for alerts when they move
    Clock clock_;
    ListMender mender_;
    std::string decimalPoint_ = ".";

    LogOnStep step_ = LogOnStep::Offline;
    int closing_ = 0;  // our own QUIT and log-off under way: their errors are expected
    MainControls controls_;
    std::string logAs_ = "Not Connected";
    std::string status_;
    std::string reason_;  // why this log-on failed, for the status line once it is reset
    std::string target_;  // "host:port" of the log-on's connect
    ServerMode mode_ = ServerMode::None;
    std::vector<BuddyRow> rows_;
    bool chatOpen_ = false;
    bool restoreDue_ = false;       // set by a log-on, spent by the list that follows it
    std::int32_t serverIndex_ = 0;  // the server of the current log-on
    int refreshMinutes_ = 0;
    int progressMax_ = 0;     // of the progress bar, kept while its value goes back to 0
    double searchStart_ = 0;  // SearchStart and SearchEnd, seconds since midnight
    double searchEnd_ = 0;
    double userSentAt_ = -1;  // when the log-on's USER went out; -1: no log-on waits
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
