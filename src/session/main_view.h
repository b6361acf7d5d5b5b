// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "transport/wolcon2.h"

namespace vantor {

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
// The session sets the log-in button and CHAT, its buddy list the rest.
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

// What changed in the buddy list; the window reads the rows from Rows() when told. Rows are the
// service's (1-based); positions are where the rows are drawn (1-based, hidden ones counted),
// which the list's view order decides (Order()). In the service's order the two are the same.
struct ListChange {
    enum class Kind {
        Cleared,  // no rows and no columns
        Columns,  // the columns of Mode() are set up
        Added,    // row added at the end of the rows, drawn at position; its pending window
                  // events may run
        Cell,     // the location of row, column changed; drawn at position, maybe hidden or
                  // shown now
        Removed,  // row taken out from position; the rows after it move up
        Moved,    // row moved from position `from` to `position`; its cell change follows
        Order,    // drawn anew: at each position the row that was drawn at was[position - 1]
    };
    Kind kind{Kind::Cleared};
    int row{0};           // 1-based
    int column{0};        // 1-based location column
    bool filling{false};  // Added: a row of a list being filled; pending window events run
    int position{0};
    int from{0};
    std::vector<int> was{};
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

// What the main session and its buddy list show and ask of the main window. Calls come from the
// session's operations and from inside receive passes. A call may let events run (a box, a row's
// pending events) and re-enter the session, but never destroys it; the session then stops what it
// was doing when its watch says so. Texts are bytes as FromWire reads them: Windows-1252, or UTF-8.
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

}  // namespace vantor
