// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics/debug_log.h"  // SetLogFailureNotice: who hears of a log that fails

namespace vantor {

// A moment as a log line carries it, in local time.
struct LogTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
LogTime LocalLogTime();  // now

// "[YYYY-MM-DD HH:MM:SS]"
std::string LogStamp(const LogTime& when);

// A nickname or channel (Windows-1252 bytes) as a file name of its own: case folded, so Bob and
// bob share a file; every byte but letters, digits and -_[]{}^# written as %XX, so no separator,
// dot or device name of any system gets through. An empty name gives "%". A name that would come
// out longer than kMaxLogName bytes is cut and ends in "~" and a hash of the whole name, so it
// still fits a file system and the same name always gives the same file.
inline constexpr std::size_t kMaxLogName = 196;  // with ".log" and a rotation's ".1": 202
std::string LogFileName(std::string_view name);

// $XDG_DATA_HOME/vantor-desktop/logs (or under ~/.local/share), read anew at each call.
std::filesystem::path LogRoot();

// Makes a folder and its missing parents, each one made the user's alone (0700), as the logs'
// folders are. True when it exists afterwards.
bool MakeLogFolders(const std::filesystem::path& folder);

// root/<own>/<peer>.log, both names made safe by LogFileName.
std::filesystem::path LogPath(const std::filesystem::path& root, std::string_view own,
                              std::string_view peer);

// The last `count` lines of a file, oldest first, without their line ends. Reads from the end
// only as far back as it must, so a large log costs no more than a small one.
std::vector<std::string> ReadLogTail(const std::filesystem::path& file, std::size_t count);

// One conversation's log: plain UTF-8 text, one entry a line after its stamp. Each entry is
// written and flushed on its own, so a crash or a kill loses at most the line being written; a
// log that takes a flood may instead gather entries and write them with one Flush, called once
// its pass of work is done. Folders it creates are the user's alone (0700), and so is a file it
// creates (0600). A log that cannot be written is reported once a run (the debug log and the
// failure notice) and is tried again at the next write; the conversation never waits on it. A log
// that would grow past "LogRotateMB" starts afresh, the old one kept beside it as "<file>.1".
class ConversationLog {
public:
    enum class Writes { kEachEntry, kOnFlush };

    explicit ConversationLog(std::filesystem::path file, Writes writes = Writes::kEachEntry);
    ~ConversationLog();  // writes what it has gathered
    ConversationLog(const ConversationLog&) = delete;
    ConversationLog& operator=(const ConversationLog&) = delete;

    // Line breaks in text become spaces. False when the entry was not written.
    bool Append(std::string_view text, const LogTime& when);
    bool Append(std::string_view text) { return Append(text, LocalLogTime()); }
    // Writes the gathered entries. False when they were not written (they are dropped).
    bool Flush();

    const std::filesystem::path& File() const { return file_; }

private:
    bool Open();
    void Rotate();
    void Failed();

    std::filesystem::path file_;
    Writes writes_;
    std::ofstream out_;
    std::string gathered_;
    bool needsBreak_ = false;   // the file ended in the middle of a line
    std::uintmax_t size_ = 0;   // of the open file
    std::uintmax_t limit_ = 0;  // the size it rotates at; 0: never
    LogTime stampTime_{0, 0, 0, 0, 0, 0};
    std::string stamp_;  // of stampTime_: a flood stamps many entries with the same second
};

}  // namespace vantor
