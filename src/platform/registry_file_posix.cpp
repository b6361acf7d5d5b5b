// SPDX-License-Identifier: MIT
// The registry as a REGEDIT4 text file (Windows-1252); regedit4.h reads and writes the text.
// Readers take no lock: writers replace the whole file by rename, so a reader sees either the old
// or the new file. Writers serialise on flock over a side lock file and re-read under it, so
// concurrent programs never lose values.
#include "platform/registry.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/error_words.h"
#include "platform/regedit4.h"

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

// Reads the whole file; a missing file reads as empty. nullopt when it cannot be read, with
// errno telling why.
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
            const int error = errno;
            ::close(fd);
            errno = error;
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

// Under the lock: re-reads the file, lets edit change it, and replaces the file.
template <typename Edit>
bool Rewrite(const std::filesystem::path& file, Edit&& edit) {
    WriteLock lock(file);
    if (!lock.Held()) return false;
    auto text = ReadFile(file);
    if (!text) return false;
    regedit4::Document doc = regedit4::Document::Parse(*text);
    text.reset();
    if (!edit(doc)) return true;
    return ReplaceFile(file, doc.Format());
}

}  // namespace

KeyHandle CreateKey(std::string_view path, bool* createdNew, std::string* problem) noexcept {
    const auto fail = [problem](std::string why) {
        if (problem != nullptr) *problem = std::move(why);
        return nullptr;
    };
    try {
        if (createdNew != nullptr) *createdNew = false;
        auto key = KeyHandle(new Key);
        key->file = RegistryPath();
        if (key->file.empty()) return fail("no home folder is known");
        key->section = "HKEY_LOCAL_MACHINE\\" + std::string(path);

        std::error_code ec;
        std::filesystem::path dir = key->file.parent_path();
        if (!dir.empty()) {
            std::filesystem::create_directories(dir, ec);
            std::error_code isDir;
            if (!std::filesystem::is_directory(dir, isDir)) {
                return fail("its folder " + dir.string() + " cannot be made" +
                            (ec ? ": " + ErrorWords(ec.value()) : std::string()));
            }
        }
        // Full access means the file can be replaced: the folder must take the lock file.
        std::string lockPath = key->file.string() + ".lock";
        int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (lockFd < 0) return fail("its lock file cannot be made: " + ErrorWords(errno));
        ::close(lockFd);

        auto text = ReadFile(key->file);
        if (!text) return fail(ErrorWords(errno));
        if (regedit4::Document::Parse(*text).HasKey(key->section)) return key;
        text.reset();

        bool added = false;
        bool ok = Rewrite(key->file, [&](regedit4::Document& doc) {
            if (doc.HasKey(key->section)) return false;
            doc.AddKey(key->section);
            added = true;
            return true;
        });
        if (!ok) return fail("its key cannot be added: " + ErrorWords(errno));
        if (createdNew != nullptr) *createdNew = added;
        return key;
    } catch (...) {
        return fail("out of memory");
    }
}

std::string Location() {
    return RegistryPath().string();
}

long QueryValue(Key& key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                std::uint32_t* size) noexcept {
    try {
        if (data != nullptr && size == nullptr) return kErrorInvalidParameter;
        auto text = ReadFile(key.file);
        if (!text) return kErrorAccessDenied;
        std::optional<regedit4::Value> v = regedit4::Document::Parse(*text).Get(key.section, name);
        if (!v) return kErrorFileNotFound;
        if (v->data.size() > UINT32_MAX) return kErrorInvalidData;
        auto needed = static_cast<std::uint32_t>(v->data.size());
        if (type != nullptr) *type = v->type;
        if (size == nullptr) return kSuccess;
        if (data == nullptr) {
            *size = needed;
            return kSuccess;
        }
        if (*size < needed) {
            *size = needed;
            return kErrorMoreData;
        }
        if (needed > 0) std::memcpy(data, v->data.data(), needed);
        *size = needed;
        return kSuccess;
    } catch (...) {
        return kErrorInvalidData;
    }
}

long SetValue(Key& key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
              std::uint32_t size) noexcept {
    try {
        if (!regedit4::IsWritableName(name)) return kErrorInvalidParameter;
        if (data == nullptr && size > 0) return kErrorInvalidParameter;
        const std::string_view bytes(reinterpret_cast<const char*>(data), size);
        bool ok = Rewrite(key.file, [&](regedit4::Document& doc) {
            doc.Set(key.section, name, type, bytes);
            return true;
        });
        return ok ? kSuccess : kErrorAccessDenied;
    } catch (...) {
        return kErrorAccessDenied;
    }
}

}  // namespace vantor::registry
