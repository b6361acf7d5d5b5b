// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string_view>

#include "common/lobby_names.h"

namespace vantor {

// A setting as the program asks for it: its name and the default that comes back (and is
// stored) when the value is missing.
struct LongSetting {
    std::string_view name;
    std::int32_t defaultValue;
};
struct StringSetting {
    std::string_view name;
    std::string_view defaultValue;
};

// Every setting the program reads, in one place, so that a name and its default are written
// once. A new setting goes here.
namespace setting {

// The service.
inline constexpr StringSetting kServerHost{"ServerHost", "localhost"};
inline constexpr LongSetting kServerPort{"ServerPort", 7000};  // ports N, N+1, N+2
inline constexpr StringSetting kLastNickName{"LastNickName", ""};
inline constexpr LongSetting kScanBuddyOtherServer{"ScanBuddyOtherServer", 0};
// 1: log on again by itself when the main connection is lost; 0: log off.
inline constexpr LongSetting kAutoReconnect{"AutoReconnect", 1};
// Seconds the service may take from USER to the end of the message of the day before the log-on
// is given up; 0: wait for ever.
inline constexpr LongSetting kLogOnTimeout{"LogOnTimeout", 30};
// 1: the log-in button reads CANCEL while logging on and cancels it; 0: it is off meanwhile.
inline constexpr LongSetting kLogOnCancel{"LogOnCancel", 1};
// A link that lasted less than this many seconds after its log-on does not reset the way back's
// waits; 0: every log-on resets them.
inline constexpr LongSetting kReconnectStableSeconds{"ReconnectStableSeconds", 60};
// Seconds a link that came back must hold before its buddies are searched; 0: at once.
inline constexpr LongSetting kReconnectSearchDelay{"ReconnectSearchDelay", 10};
// 1: the status line says in a sentence why a connection failed or ended; 0: it goes back to
// the offline text.
inline constexpr LongSetting kStatusReasons{"StatusReasons", 1};
// 1: a status too long for its line (and for the caption) is shortened in the middle; 0: cut.
inline constexpr LongSetting kElideStatus{"ElideStatus", 1};

// Asked by these names, answered from memory by the options window while it exists (the
// default counts only without it); the values it keeps are in `held` below.
inline constexpr LongSetting kAutoBuddyRefresh{"AutoBuddyRefresh", 0};
inline constexpr LongSetting kChatInitialLobby{"ChatInitialLobby", 0};
inline constexpr LongSetting kAutoBuddyRefreshInt{"AutoBuddyRefreshInt", 0};
inline constexpr LongSetting kShowMotd{"ShowMOTD", 0};
inline constexpr LongSetting kServer{"Server", 0};
inline constexpr LongSetting kEnableSnd{"EnableSnd", 1};   // the background music
inline constexpr LongSetting kSndVolume{"SndVolume", 19};  // its volume, and the chime's

// The lobby chat window: colours 0x00BBGGRR, and whether entries carry the time.
inline constexpr LongSetting kChatColError{"ChatColError", 150};
inline constexpr LongSetting kChatColIn{"ChatColIn", 33023};
inline constexpr LongSetting kChatColOut{"ChatColOut", 33023};
inline constexpr LongSetting kChatColPrivate{"ChatColPrivate", 16744448};
inline constexpr LongSetting kChatColEmote{"ChatColEmote", 38400};
inline constexpr LongSetting kChatColNotify{"ChatColNotify", 9830550};
inline constexpr LongSetting kChatTimeStamps{"ChatTimeStamps", 1};
// 1: the lobby follows renames (NICK) and removals (KICK) and shows a topic; 0: it hears only
// PRIVMSG, JOIN, PART and QUIT.
inline constexpr LongSetting kChatLobbyEvents{"ChatLobbyEvents", 1};

// Whom not to hear from: the names separated by spaces ("": nobody), and whether a page from
// anyone not on the buddy list counts as ignored (0: everyone may page).
inline constexpr StringSetting kIgnoreList{"IgnoreList", ""};
inline constexpr LongSetting kPagesFromBuddiesOnly{"PagesFromBuddiesOnly", 0};
// 1: the page window has an IGNORE button beside SEND, which moves the send row left to make
// room; 0: the classic send row, without it.
inline constexpr LongSetting kPageIgnoreButton{"PageIgnoreButton", 1};

// The page window's colours.
inline constexpr LongSetting kPageIn{"PageIn", 33023};
inline constexpr LongSetting kPageOut{"PageOut", 33023};
inline constexpr LongSetting kPageNotify{"PageNotify", 16744448};

// The desktop beyond the windows: notifications for messages and buddies, the tray icon.
inline constexpr LongSetting kDesktopNotify{"DesktopNotify", 1};
inline constexpr LongSetting kBuddyAlerts{"BuddyAlerts", 1};
inline constexpr LongSetting kTrayIcon{"TrayIcon", 1};

// The main window's buddy list as drawn; the list on the service keeps its order. The order:
// 0 the service's, 1 online first, 2 by name. 1: buddies not logged in are left out. 1: a status
// icon before each nickname, with the status in words for screen readers and a tooltip saying
// when each location was looked up; 0: text rows. 1: the pop-up menu of a buddy in a lobby the
// client knows offers to join it; 0: no such item.
inline constexpr LongSetting kBuddySort{"BuddySort", 0};
inline constexpr LongSetting kBuddyHideOffline{"BuddyHideOffline", 0};
inline constexpr LongSetting kBuddyIcons{"BuddyIcons", 1};
inline constexpr LongSetting kBuddyJoin{"BuddyJoin", 1};
// 1: a page or private message to a window in the background chimes; 0: silence.
inline constexpr LongSetting kPageSound{"PageSound", 1};
// 1: at most one notification a second, a burst beyond it told as one ("12 new pages"); 0: only
// the quiet time per sender.
inline constexpr LongSetting kNotifyRateLimit{"NotifyRateLimit", 1};

// 1: every page conversation and lobby is appended to a log, and a page window opens with the
// end of its log; 0: nothing is kept.
inline constexpr LongSetting kLogConversations{"LogConversations", 1};
// A conversation log past this many megabytes starts afresh, the old one kept beside it as
// ".1"; 0: logs grow without bound.
inline constexpr LongSetting kLogRotateMB{"LogRotateMB", 10};

// The debug log's sinks, read from the store itself.
inline constexpr LongSetting kDumptoFile{"DumptoFile", 0};
inline constexpr LongSetting kShowDebugWin{"ShowDebugWin", 0};

// The seven values the options window keeps, under their names in the store and with the
// defaults it loads them with.
namespace held {
inline constexpr LongSetting kBuddyListAutoRefresh{"BuddyListAutoRefresh", 0};
inline constexpr LongSetting kChatInitialLobby{"ChatInitialLobby", 0};
inline constexpr LongSetting kBuddyListAutoRefreshInt{"BuddyListAutoRefreshInt", 1};
inline constexpr LongSetting kShowMotd{"ShowMOTD", 1};
inline constexpr LongSetting kServer{"Server", 1};
inline constexpr LongSetting kEnableBGSnd{"EnableBGSnd", 1};
inline constexpr LongSetting kBGSndVolume{"BGSndVolume", 19};
}  // namespace held

}  // namespace setting

// The fixed lists behind the options window's lobby and server drop-downs (the values of
// ChatInitialLobby and Server), index 0 first.
inline constexpr std::string_view kLobbyNames = kLobbyNameList;
inline constexpr std::string_view kServerNames = "USA Server|European Server|Pacific Server";

}  // namespace vantor
