// SPDX-License-Identifier: MIT
// The registry as a REGEDIT4 text file (Windows-1252). Readers take no lock: writers replace the
// whole file by rename, so a reader sees either the old or the new file. Writers serialise on
// flock over a side lock file and re-read under it, so concurrent programs never lose values.
#include "settings/registry.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor::registry {

class Key {
public:
    std::filesystem::path file;
    std::string section;  // full key name as the section header holds it
};

void KeyCloser::operator()(Key* key) const noexcept {
    delete key;
}

namespace {

std::string EnvValue(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? std::string(v) : std::string();
}

std::filesystem::path RegistryPath() {
    if (std::string explicitPath = EnvValue("VANTOR_REGISTRY"); !explicitPath.empty())
        return explicitPath;
    std::filesystem::path config;
    // A relative XDG_CONFIG_HOME is invalid and must be ignored.
    if (std::string xdg = EnvValue("XDG_CONFIG_HOME"); !xdg.empty() && xdg.front() == '/') {
        config = xdg;
    } else {
        std::string home = EnvValue("HOME");
        if (home.empty()) {
            if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr)
                home = pw->pw_dir;
        }
        if (home.empty()) return {};
        config = std::filesystem::path(home) / ".config";
    }
    return config / "vantor-desktop" / "registry.reg";
}

// Case folding of Windows-1252 letters, as the registry compares names.
unsigned char Fold(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    switch (c) {
        case 0x8A:
            return 0x9A;
        case 0x8C:
            return 0x9C;
        case 0x8E:
            return 0x9E;
        case 0x9F:
            return 0xFF;
        default:
            return c;
    }
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Fold(static_cast<unsigned char>(a[i])) != Fold(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (IsBlank(s.front()) || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Parses 1..maxDigits hex digits making up all of s.
std::optional<std::uint32_t> ParseHex(std::string_view s, std::size_t maxDigits) {
    if (s.empty() || s.size() > maxDigits) return std::nullopt;
    std::uint32_t v = 0;
    for (char c : s) {
        int d = HexDigit(c);
        if (d < 0) return std::nullopt;
        v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    return v;
}

// The file as lines without their line ends.
struct Document {
    std::vector<std::string> lines;
    bool crlf = false;
};

Document Split(const std::string& text) {
    Document doc;
    std::size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        std::size_t nl = text.find('\n', start);
        std::size_t end = nl == std::string::npos ? text.size() : nl;
        std::size_t contentEnd = end;
        if (nl != std::string::npos && contentEnd > start && text[contentEnd - 1] == '\r') {
            --contentEnd;
            if (first) doc.crlf = true;
        }
        doc.lines.emplace_back(text, start, contentEnd - start);
        first = false;
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    return doc;
}

std::string Join(const Document& doc) {
    const std::string_view eol = doc.crlf ? "\r\n" : "\n";
    std::size_t total = 0;
    for (const std::string& line : doc.lines) total += line.size() + eol.size();
    std::string out;
    out.reserve(total);
    for (const std::string& line : doc.lines) {
        out += line;
        out += eol;
    }
    return out;
}

// The key name of a section header line, or nullopt when the line is no header.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
    return line.substr(1, line.size() - 2);
}

// Reads a quoted string starting after its opening quote; \\ and \" are escapes.
std::optional<std::string> ReadQuoted(std::string_view s, std::size_t& pos) {
    std::string out;
    while (pos < s.size()) {
        char c = s[pos++];
        if (c == '"') return out;
        if (c == '\\' && pos < s.size() && (s[pos] == '\\' || s[pos] == '"')) c = s[pos++];
        out += c;
    }
    return std::nullopt;
}

struct ValueLine {
    std::string name;
    bool valid = false;  // data understood
    std::uint32_t type = kRegNone;
    std::string data;
    std::size_t lastLine = 0;  // hex data may continue over following lines
};

std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view list) {
    std::vector<std::uint8_t> bytes;
    std::size_t pos = 0;
    while (pos <= list.size()) {
        std::size_t comma = list.find(',', pos);
        std::size_t end = comma == std::string_view::npos ? list.size() : comma;
        std::string_view item = Trim(list.substr(pos, end - pos));
        if (item.empty()) {
            // Only a trailing comma (or an empty list) may leave an empty item.
            if (comma != std::string_view::npos) return std::nullopt;
            break;
        }
        auto b = ParseHex(item, 2);
        if (!b) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(*b));
        if (comma == std::string_view::npos) break;
        pos = comma + 1;
    }
    return bytes;
}

void ParseData(const Document& doc, std::string_view data, ValueLine& v) {
    if (!data.empty() && data.front() == '"') {
        std::size_t pos = 1;
        auto text = ReadQuoted(data, pos);
        if (!text || !Trim(data.substr(pos)).empty()) return;
        v.type = kRegSz;
        v.data = std::move(*text);
        v.data += '\0';
        v.valid = true;
        return;
    }
    if (data.starts_with("dword:")) {
        auto n = ParseHex(Trim(data.substr(6)), 8);
        if (!n) return;
        v.type = kRegDword;
        v.data.resize(4);
        for (int i = 0; i < 4; ++i) v.data[i] = static_cast<char>((*n >> (8 * i)) & 0xFF);
        v.valid = true;
        return;
    }
    if (!data.starts_with("hex")) return;
    std::uint32_t type = kRegBinary;
    std::size_t colon = 3;
    if (data.size() > 3 && data[3] == '(') {
        std::size_t close = data.find(')', 4);
        if (close == std::string_view::npos) return;
        auto t = ParseHex(data.substr(4, close - 4), 8);
        if (!t) return;
        type = *t;
        colon = close + 1;
    }
    if (colon >= data.size() || data[colon] != ':') return;
    std::string list(Trim(data.substr(colon + 1)));
    // A trailing backslash continues the byte list on the next line, as regedit wraps it.
    while (!list.empty() && list.back() == '\\' && v.lastLine + 1 < doc.lines.size() &&
           !SectionName(doc.lines[v.lastLine + 1])) {
        list.pop_back();
        ++v.lastLine;
        list += Trim(doc.lines[v.lastLine]);
    }
    auto bytes = ParseHexBytes(list);
    if (!bytes) return;
    v.type = type;
    v.data.assign(bytes->begin(), bytes->end());
    v.valid = true;
}

std::optional<ValueLine> ParseValueLine(const Document& doc, std::size_t index) {
    std::string_view line = doc.lines[index];
    std::size_t pos = 0;
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos >= line.size()) return std::nullopt;
    ValueLine v;
    v.lastLine = index;
    if (line[pos] == '@') {
        ++pos;
    } else if (line[pos] == '"') {
        ++pos;
        auto name = ReadQuoted(line, pos);
        if (!name) return std::nullopt;
        v.name = std::move(*name);
    } else {
        return std::nullopt;
    }
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos >= line.size() || line[pos] != '=') return std::nullopt;
    ++pos;
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    std::string_view data = line.substr(pos);
    if (!data.empty() && data.back() == '\r') data.remove_suffix(1);
    ParseData(doc, data, v);
    return v;
}

struct Lookup {
    bool sectionFound = false;
    std::size_t lastSectionEnd = 0;  // index after the last line of the last matching section
    std::optional<ValueLine> value;  // the last line naming the value
    std::size_t valueFirstLine = 0;
};

// With name null only the section is looked for.
Lookup Find(const Document& doc, std::string_view section, const std::string_view* name) {
    Lookup found;
    bool inSection = false;
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        if (auto header = SectionName(doc.lines[i])) {
            inSection = SameName(*header, section);
            if (inSection) {
                found.sectionFound = true;
                found.lastSectionEnd = i + 1;
            }
            continue;
        }
        if (!inSection) continue;
        found.lastSectionEnd = i + 1;
        if (name == nullptr) continue;
        auto v = ParseValueLine(doc, i);
        if (!v) continue;
        std::size_t first = i;
        i = v->lastLine;
        found.lastSectionEnd = i + 1;
        if (SameName(v->name, *name)) {
            found.value = std::move(v);
            found.valueFirstLine = first;
        }
    }
    return found;
}

std::string Quote(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

std::string FormatValue(std::string_view name, std::uint32_t type, std::string_view data) {
    std::string line = name.empty() ? std::string("@") : Quote(name);
    line += '=';
    // Quoted text only when it reads back as exactly these bytes: one final zero byte, no other
    // zero byte and no line break inside.
    if (type == kRegSz && !data.empty() && data.back() == '\0' &&
        data.substr(0, data.size() - 1).find_first_of(std::string_view("\0\r\n", 3)) ==
            std::string_view::npos) {
        line += Quote(data.substr(0, data.size() - 1));
        return line;
    }
    char buf[16];
    if (type == kRegDword && data.size() == 4) {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(data[i]);
        std::snprintf(buf, sizeof buf, "dword:%08x", v);
        line += buf;
        return line;
    }
    if (type == kRegBinary) {
        line += "hex:";
    } else {
        std::snprintf(buf, sizeof buf, "hex(%x):", type);
        line += buf;
    }
    line.reserve(line.size() + data.size() * 3);
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i > 0) line += ',';
        std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(data[i]));
        line += buf;
    }
    return line;
}

// Reads the whole file; a missing file reads as empty. nullopt when it cannot be read.
std::optional<std::string> ReadFile(const std::filesystem::path& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return std::string();
        return std::nullopt;
    }
    std::string text;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        text.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        text.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return text;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes a temporary file next to the target, flushes it to disk and renames it over the
// target, so the file is always either the old or the new one.
bool ReplaceFile(const std::filesystem::path& path, const std::string& text) {
    std::string tmp = path.string() + ".tmpXXXXXX";
    int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    mode_t mode = 0644;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(tmp.c_str());
    return ok;
}

// An exclusive lock over a side file, held for one read-modify-replace.
class WriteLock {
public:
    explicit WriteLock(const std::filesystem::path& file) {
        std::string lockPath = file.string() + ".lock";
        fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) return;
        int rc;
        do {
            rc = ::flock(fd_, LOCK_EX);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~WriteLock() {
        if (fd_ >= 0) ::close(fd_);  // closing releases the lock
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

bool HasHeader(const Document& doc) {
    for (const std::string& line : doc.lines) {
        std::string_view t = Trim(line);
        if (t.empty()) continue;
        return t == "REGEDIT4";
    }
    return false;
}

void AddSection(Document& doc, std::string_view section) {
    if (!HasHeader(doc)) doc.lines.insert(doc.lines.begin(), {"REGEDIT4", ""});
    if (!doc.lines.empty() && !Trim(doc.lines.back()).empty()) doc.lines.emplace_back();
    doc.lines.push_back("[" + std::string(section) + "]");
}

// Under the lock: re-reads the file, lets edit change it, and replaces the file.
template <typename Edit>
bool Rewrite(const std::filesystem::path& file, Edit&& edit) {
    WriteLock lock(file);
    if (!lock.Held()) return false;
    auto text = ReadFile(file);
    if (!text) return false;
    Document doc = Split(*text);
    text.reset();
    if (!edit(doc)) return true;
    return ReplaceFile(file, Join(doc));
}

}  // namespace

KeyHandle CreateKey(std::string_view path, bool* createdNew) noexcept {
    try {
        if (createdNew != nullptr) *createdNew = false;
        auto key = KeyHandle(new Key);
        key->file = RegistryPath();
        if (key->file.empty()) return nullptr;
        key->section = "HKEY_LOCAL_MACHINE\\" + std::string(path);

        std::error_code ec;
        std::filesystem::path dir = key->file.parent_path();
        if (!dir.empty()) {
            std::filesystem::create_directories(dir, ec);
            if (!std::filesystem::is_directory(dir, ec)) return nullptr;
        }
        // Full access means the file can be replaced: the folder must take the lock file.
        std::string lockPath = key->file.string() + ".lock";
        int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (lockFd < 0) return nullptr;
        ::close(lockFd);

        auto text = ReadFile(key->file);
        if (!text) return nullptr;
        if (Find(Split(*text), key->section, nullptr).sectionFound) return key;
        text.reset();

        bool added = false;
        bool ok = Rewrite(key->file, [&](Document& doc) {
            if (Find(doc, key->section, nullptr).sectionFound) return false;
            AddSection(doc, key->section);
            added = true;
            return true;
        });
        if (!ok) return nullptr;
        if (createdNew != nullptr) *createdNew = added;
        return key;
    } catch (...) {
        return nullptr;
    }
}

long QueryValue(Key& key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                std::uint32_t* size) noexcept {
    try {
        if (data != nullptr && size == nullptr) return kErrorInvalidParameter;
        auto text = ReadFile(key.file);
        if (!text) return kErrorAccessDenied;
        Lookup found = Find(Split(*text), key.section, &name);
        if (!found.value) return kErrorFileNotFound;
        const ValueLine& v = *found.value;
        if (!v.valid) return kErrorFileNotFound;
        if (v.data.size() > UINT32_MAX) return kErrorInvalidData;
        auto needed = static_cast<std::uint32_t>(v.data.size());
        if (type != nullptr) *type = v.type;
        if (size == nullptr) return kSuccess;
        if (data == nullptr) {
            *size = needed;
            return kSuccess;
        }
        if (*size < needed) {
            *size = needed;
            return kErrorMoreData;
        }
        if (needed > 0) std::memcpy(data, v.data.data(), needed);
        *size = needed;
        return kSuccess;
    } catch (...) {
        return kErrorInvalidData;
    }
}

long SetValue(Key& key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
              std::uint32_t size) noexcept {
    try {
        if (name.find_first_of(std::string_view("\0\r\n", 3)) != std::string_view::npos)
            return kErrorInvalidParameter;
        if (data == nullptr && size > 0) return kErrorInvalidParameter;
        std::string line =
            FormatValue(name, type, std::string_view(reinterpret_cast<const char*>(data), size));
        bool ok = Rewrite(key.file, [&](Document& doc) {
            Lookup found = Find(doc, key.section, &name);
            if (found.value) {
                auto first = doc.lines.begin() + static_cast<std::ptrdiff_t>(found.valueFirstLine);
                auto last = doc.lines.begin() + static_cast<std::ptrdiff_t>(found.value->lastLine);
                *first = line;
                doc.lines.erase(first + 1, last + 1);
                return true;
            }
            if (!found.sectionFound) {
                AddSection(doc, key.section);
                doc.lines.push_back(line);
                return true;
            }
            // New values go after the section's last non-blank line.
            std::size_t at = found.lastSectionEnd;
            while (at > 0 && Trim(doc.lines[at - 1]).empty()) --at;
            doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(at), line);
            return true;
        });
        return ok ? kSuccess : kErrorAccessDenied;
    } catch (...) {
        return kErrorAccessDenied;
    }
}

}  // namespace vantor::registry
