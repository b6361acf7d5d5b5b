// SPDX-License-Identifier: MIT
// Private files on Windows: the folder's access rules decide who reads them.
#include <cerrno>

#include "platform/error_words.h"
#include "platform/private_file.h"

namespace vantor {

std::FILE* OpenPrivateAppend(const std::filesystem::path& path, std::string* why) noexcept {
    try {
        std::FILE* file = ::_wfopen(path.c_str(), L"ab");
        if (file == nullptr && why != nullptr) *why = ErrorWords(errno);
        return file;
    } catch (...) {
        if (why != nullptr) *why = "out of memory";
        return nullptr;
    }
}

}  // namespace vantor
