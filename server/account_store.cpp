// SPDX-License-Identifier: MIT
#include "account_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "wire.h"

namespace vantor::server {
namespace {

constexpr std::string_view kHeader =
    "# vantor-server accounts: nickname TAB password code TAB buddies";

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

bool IsValidCode(std::string_view code) {
    static constexpr std::string_view kAlphabet =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789./";
    return code.size() <= 64 && std::all_of(code.begin(), code.end(), [](char c) {
               return kAlphabet.find(c) != std::string_view::npos;
           });
}

AccountStore::AccountStore(std::filesystem::path dataDir)
    : file_(std::move(dataDir) / "accounts.txt") {}

bool AccountStore::Load(std::string& error) {
    accounts_.clear();
    order_.clear();
    dirty_ = false;
    std::ifstream in(file_, std::ios::binary);
    if (!in) {
        std::error_code ec;
        if (!std::filesystem::exists(file_, ec)) return true;
        error = "cannot read " + file_.string();
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.front() == '#') continue;
        auto fields = SplitList(line, '\t');
        if (fields.size() < 2 || !IsValidNick(fields[0]) || !IsValidCode(fields[1])) continue;
        if (Find(fields[0]) != nullptr) continue;
        Account& account = Create(fields[0], fields[1]);
        if (fields.size() > 2) {
            for (auto buddy : SplitList(fields[2], '`')) AddBuddy(account, buddy);
        }
    }
    dirty_ = false;
    return true;
}

bool AccountStore::Save(std::string& error) {
    std::string text(kHeader);
    text += '\n';
    for (const auto& key : order_) {
        const Account& a = accounts_.at(key);
        text += a.nick;
        text += '\t';
        text += a.code;
        text += '\t';
        for (std::size_t i = 0; i < a.buddies.size(); ++i) {
            if (i > 0) text += '`';
            text += a.buddies[i];
        }
        text += '\n';
    }

    auto temp = file_;
    temp += ".tmp";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "cannot write " + temp.string() + ": " + std::strerror(errno);
        return false;
    }
    bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
    int saved = errno;
    ::close(fd);
    if (!ok || ::rename(temp.c_str(), file_.c_str()) != 0) {
        if (ok) saved = errno;
        error = "cannot replace " + file_.string() + ": " + std::strerror(saved);
        ::unlink(temp.c_str());
        return false;
    }
    // The rename itself is durable only once the folder is flushed.
    int dirFd = ::open(file_.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    dirty_ = false;
    return true;
}

Account* AccountStore::Find(std::string_view nick) {
    auto it = accounts_.find(LowerAscii(nick));
    return it == accounts_.end() ? nullptr : &it->second;
}

Account& AccountStore::Create(std::string_view nick, std::string_view code) {
    auto key = LowerAscii(nick);
    auto [it, added] = accounts_.try_emplace(key);
    if (added) {
        order_.push_back(key);
        it->second.nick = std::string(nick);
    }
    it->second.code = std::string(code);
    dirty_ = true;
    return it->second;
}

void AccountStore::SetCode(Account& account, std::string_view code) {
    if (account.code == code) return;
    account.code = std::string(code);
    dirty_ = true;
}

bool AccountStore::AddBuddy(Account& account, std::string_view buddy) {
    if (!IsValidNick(buddy) || account.buddies.size() >= kMaxBuddies) return false;
    for (const auto& b : account.buddies) {
        if (SameAsciiNoCase(b, buddy)) return false;
    }
    account.buddies.emplace_back(buddy);
    dirty_ = true;
    return true;
}

bool AccountStore::DelBuddy(Account& account, std::string_view buddy) {
    auto it = std::find_if(account.buddies.begin(), account.buddies.end(),
                           [&](const std::string& b) { return SameAsciiNoCase(b, buddy); });
    if (it == account.buddies.end()) return false;
    account.buddies.erase(it);
    dirty_ = true;
    return true;
}

}  // namespace vantor::server
