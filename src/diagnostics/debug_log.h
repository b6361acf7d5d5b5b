// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "common/tag.h"

namespace vantor {

// Kinds of a debug-log entry. Plain ints travel through DebugLog so that unknown kinds (9, say)
// still reach the sinks.
enum LogKind : int {
    kLogError = -1,       // local error
    kLogNote = 0,         // local note
    kLogSent = 1,         // command line sent by the client
    kLogHandled = 2,      // received line that was handled
    kLogReplyStart = 3,   // start line of a multi-line reply
    kLogReplyEnd = 4,     // end line of a multi-line reply
    kLogIntercepted = 5,  // received line taken by an intercept
    kLogUnhandled = 6,    // received line nothing took
};

// The debug window as the log sees it; the Qt window implements it.
class DebugWindow {
public:
    virtual ~DebugWindow() = default;
    virtual void AddDebug(const Tag& tag, std::string_view message, int kind) = 0;
    virtual void ShowWindow() = 0;
    virtual void ShutDown() = 0;  // sets ShuttingDown; the log destroys the window afterwards
};

// Creates the debug window when "ShowDebugWin" is 1; installed by the UI before InitDebug.
// Without a factory no window is made (core-only programs and tests).
void SetDebugWindowFactory(std::function<std::unique_ptr<DebugWindow>()> factory);

// Opens the dump file when "DumptoFile" is not 0 ("DebugDump.txt" in the working folder, only the
// user may read it) and makes the debug window when "ShowDebugWin" is 1. A dump that cannot be
// opened is told once, through TellLogFailure (unless "StatusReasons" is 0).
void InitDebug();
void ShowDebugWindow();
void ShutDownDebug();

// Who hears, beside the debug log, of a file the program cannot write (the dump, a conversation
// log): the main window's status line. Told in UTF-8. What is told before anyone listens waits
// for the first listener; installing nullptr drops it.
void SetLogFailureNotice(std::function<void(const std::string& message)> notice);
// Logs the failure as a local error and hands it to the notice.
void TellLogFailure(const std::string& message);

namespace debug_detail {
extern bool g_dumpToFile;
extern DebugWindow* g_debugForm;
void Write(const Tag& tag, std::string_view message, int kind);
}  // namespace debug_detail

// Whether an entry goes anywhere: the dump file or the debug window is open.
inline bool DebugLogOn() {
    return debug_detail::g_dumpToFile || debug_detail::g_debugForm != nullptr;
}

// With both sinks off this is one flag test and one null test.
inline void DebugLog(const Tag& tag, std::string_view message, int kind) {
    if (!DebugLogOn()) return;
    debug_detail::Write(tag, message, kind);
}

}  // namespace vantor
