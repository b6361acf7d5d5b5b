// SPDX-License-Identifier: MIT
// Private files on POSIX: the mode is set as the file is made, so nobody else can open it first.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/error_words.h"
#include "platform/private_file.h"

namespace vantor {

namespace {

std::FILE* Fail(std::string* why, std::string text, int fd = -1) {
    if (fd >= 0) ::close(fd);
    if (why != nullptr) *why = std::move(text);
    return nullptr;
}

}  // namespace

std::FILE* OpenPrivateAppend(const std::filesystem::path& path, std::string* why) noexcept {
    try {
        const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW,
                              S_IRUSR | S_IWUSR);
        if (fd < 0) return Fail(why, ErrorWords(errno));
        struct stat st {};
        if (::fstat(fd, &st) != 0) return Fail(why, ErrorWords(errno), fd);
        if (!S_ISREG(st.st_mode)) return Fail(why, "it is not a regular file", fd);
        if ((st.st_mode & 077) != 0 && ::fchmod(fd, S_IRUSR | S_IWUSR) != 0)
            return Fail(why, "others could read it: " + ErrorWords(errno), fd);
        std::FILE* file = ::fdopen(fd, "ab");
        if (file == nullptr) return Fail(why, ErrorWords(errno), fd);
        return file;
    } catch (...) {
        return Fail(why, "out of memory");
    }
}

}  // namespace vantor
