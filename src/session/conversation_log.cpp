// SPDX-License-Identifier: MIT
#include "session/conversation_log.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <set>
#include <system_error>
#include <utility>

#include "common/cp1252.h"
#include "common/data_folder.h"
#include "common/tag.h"
#include "common/wire_text.h"
#include "diagnostics/debug_log.h"
#include "settings/settings_source.h"

namespace vantor {

namespace fs = std::filesystem;

namespace {

bool KeptAsIs(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
    return std::string_view("-_[]{}^#").find(char(c)) != std::string_view::npos;
}

// Names Windows keeps for devices, whatever the extension.
bool DeviceName(std::string_view folded) {
    static constexpr std::array<std::string_view, 4> kPlain = {"con", "prn", "aux", "nul"};
    if (std::find(kPlain.begin(), kPlain.end(), folded) != kPlain.end()) return true;
    return folded.size() == 4 && (folded.starts_with("com") || folded.starts_with("lpt")) &&
           folded[3] >= '1' && folded[3] <= '9';
}

void Escape(std::string& out, unsigned char c) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
}

// FNV-1a: short, stable across runs and systems.
std::uint32_t NameHash(std::string_view bytes) {
    std::uint32_t hash = 2166136261u;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

// Folders are made one at a time, so each one made here gets the user-only mode.
bool MakeFolders(const fs::path& folder) {
    std::error_code ec;
    if (folder.empty() || fs::is_directory(folder, ec)) return true;
    if (!MakeFolders(folder.parent_path())) return false;
    if (!fs::create_directory(folder, ec) && !fs::is_directory(folder, ec)) return false;
    fs::permissions(folder, fs::perms::owner_all, ec);
    return true;
}

}  // namespace

bool MakeLogFolders(const fs::path& folder) {
    return MakeFolders(folder);
}

LogTime LocalLogTime() {
    // The local time costs a time-zone look-up; a flood asks many times a second.
    static std::time_t lastSecond = -1;
    static LogTime last;
    const std::time_t now = std::time(nullptr);
    if (now != lastSecond) {
        lastSecond = now;
        if (const std::tm* t = std::localtime(&now)) {
            last = {t->tm_year + 1900, t->tm_mon + 1, t->tm_mday, t->tm_hour, t->tm_min, t->tm_sec};
        }
    }
    return last;
}

std::string LogStamp(const LogTime& when) {
    char text[48];
    std::snprintf(text, sizeof text, "[%04d-%02d-%02d %02d:%02d:%02d]", when.year, when.month,
                  when.day, when.hour, when.minute, when.second);
    return text;
}

std::string LogFileName(std::string_view name) {
    if (name.empty()) return "%";
    const std::string folded = LowerCp1252(name);
    std::string out;
    out.reserve(folded.size());
    const bool device = DeviceName(folded);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto c = static_cast<unsigned char>(folded[i]);
        if (KeptAsIs(c) && !(device && i == 0)) {
            out += char(c);
        } else {
            Escape(out, c);
        }
    }
    if (out.size() <= kMaxLogName) return out;
    char suffix[10];
    std::snprintf(suffix, sizeof suffix, "~%08x", static_cast<unsigned>(NameHash(folded)));
    std::size_t cut = kMaxLogName - (sizeof suffix - 1);
    // Never through the middle of a %XX.
    if (out[cut - 1] == '%') {
        cut -= 1;
    } else if (out[cut - 2] == '%') {
        cut -= 2;
    }
    out.resize(cut);
    return out + suffix;
}

fs::path LogRoot() {
    return DataFolder() / "logs";
}

fs::path LogPath(const fs::path& root, std::string_view own, std::string_view peer) {
    return root / LogFileName(own) / (LogFileName(peer) + ".log");
}

std::vector<std::string> ReadLogTail(const fs::path& file, std::size_t count) {
    std::vector<std::string> lines;
    std::ifstream in(file, std::ios::binary);
    if (!in || count == 0) return lines;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size <= 0) return lines;

    // Enough blocks from the end to hold count + 1 line ends: the first line is then whole.
    constexpr std::streamoff kBlock = 64 * 1024;
    std::streamoff from = size;
    std::vector<std::string> blocks;
    std::size_t breaks = 0;
    while (from > 0 && breaks <= count) {
        const std::streamoff n = std::min(kBlock, from);
        from -= n;
        std::string block(std::size_t(n), '\0');
        in.seekg(from);
        if (!in.read(block.data(), n)) return lines;
        breaks += std::size_t(std::count(block.begin(), block.end(), '\n'));
        blocks.push_back(std::move(block));
    }
    std::string tail;
    for (auto it = blocks.rbegin(); it != blocks.rend(); ++it) tail += *it;

    std::size_t begin = 0;
    if (from > 0) begin = tail.find('\n') + 1;  // the cut line before the first whole one
    while (begin < tail.size()) {
        std::size_t end = tail.find('\n', begin);
        if (end == std::string::npos) end = tail.size();
        std::string_view line(tail.data() + begin, end - begin);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (!line.empty()) lines.emplace_back(line);
        begin = end + 1;
    }
    if (lines.size() > count) lines.erase(lines.begin(), lines.end() - std::ptrdiff_t(count));
    return lines;
}

ConversationLog::ConversationLog(fs::path file, Writes writes)
    : file_(std::move(file)), writes_(writes) {}

ConversationLog::~ConversationLog() {
    Flush();
}

bool ConversationLog::Open() {
    if (!MakeFolders(file_.parent_path())) return false;
    std::error_code ec;
    const bool existed = fs::exists(file_, ec);
    size_ = existed ? fs::file_size(file_, ec) : 0;
    if (ec) size_ = 0;
    limit_ = static_cast<std::uintmax_t>(
                 std::max<std::int32_t>(0, Settings().Get(setting::kLogRotateMB))) *
             1024 * 1024;
    if (existed && size_ > 0) {
        std::ifstream last(file_, std::ios::binary | std::ios::ate);
        last.seekg(-1, std::ios::end);
        char c = '\n';
        last.get(c);
        needsBreak_ = c != '\n';
    }
    out_.open(file_, std::ios::binary | std::ios::app);
    if (!out_.is_open()) return false;
    // Made inside a folder only the user can enter, so no one can open it before this.
    if (!existed) fs::permissions(file_, fs::perms::owner_read | fs::perms::owner_write, ec);
    return true;
}

bool ConversationLog::Append(std::string_view text, const LogTime& when) {
    const auto same = [](const LogTime& a, const LogTime& b) {
        return a.second == b.second && a.minute == b.minute && a.hour == b.hour && a.day == b.day &&
               a.month == b.month && a.year == b.year;
    };
    if (!same(when, stampTime_)) {
        stampTime_ = when;
        stamp_ = LogStamp(when);
    }
    gathered_ += stamp_;
    gathered_ += ' ';
    // A plain loop: find_first_of looks each byte up in the set with a call of its own.
    const auto isBreak = [](char c) { return c == '\r' || c == '\n'; };
    for (auto from = text.begin();;) {
        const auto at = std::find_if(from, text.end(), isBreak);
        gathered_.append(from, at);
        if (at == text.end()) break;
        gathered_ += ' ';  // CR LF is one break, so one space
        from = at + (*at == '\r' && at + 1 != text.end() && at[1] == '\n' ? 2 : 1);
    }
    gathered_ += '\n';
    return writes_ == Writes::kOnFlush || Flush();
}

bool ConversationLog::Flush() {
    if (gathered_.empty()) return true;
    std::string bytes = std::move(gathered_);
    gathered_.clear();
    if (!out_.is_open() && !Open()) {
        Failed();
        return false;
    }
    if (limit_ > 0 && size_ > 0 && size_ + bytes.size() > limit_) {
        Rotate();
        if (!out_.is_open()) {
            Failed();
            return false;
        }
    }
    // A line cut short by a crash stays a line of its own.
    if (needsBreak_) bytes.insert(bytes.begin(), '\n');
    out_.write(bytes.data(), std::streamsize(bytes.size()));
    out_.flush();
    if (out_) {
        needsBreak_ = false;
        size_ += bytes.size();
        return true;
    }
    out_.close();
    out_.clear();
    Failed();
    return false;
}

// The full log makes way: it becomes the one old file kept, replacing the one before it.
void ConversationLog::Rotate() {
    out_.close();
    out_.clear();
    std::error_code ec;
    fs::path old = file_;
    old += ".1";
    fs::rename(file_, old, ec);
    if (ec) DebugLog(Tag{}, Utf8ToCp1252("Could not set aside " + file_.string() + "."), kLogError);
    Open();
}

void ConversationLog::Failed() {
    static std::set<fs::path> reported;
    if (!reported.insert(file_).second) return;
    TellLogFailure("The conversation log " + file_.string() + " cannot be written.");
}

}  // namespace vantor
