// SPDX-License-Identifier: MIT
#include "reorder/buddy_restore.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

#include "common/data_folder.h"
#include "common/wire_text.h"
#include "diagnostics/debug_log.h"
#include "pages/page_router.h"
#include "reorder/reorder_link.h"

namespace vantor {

namespace fs = std::filesystem;

namespace {

// Handed back with each ADDBUDDY of a restore.
struct AddBackParam {
    std::string account;
    std::string nick;
};

std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    std::size_t begin = 0;
    while (begin <= line.size()) {
        std::size_t end = line.find(' ', begin);
        if (end == std::string_view::npos) end = line.size();
        if (end > begin) words.emplace_back(line.substr(begin, end - begin));
        begin = end + 1;
    }
    return words;
}

}  // namespace

BuddyRestore::BuddyRestore(fs::path file) : file_(std::move(file)) {
    Load();
    addCB_ = MakeCallback([this](const std::string& line, Delivery, const Param& param) {
        const auto* which = std::any_cast<AddBackParam>(&param);
        if (which == nullptr) return;
        // An error answer leaves the buddy pending for the next log-on.
        if (WordAt(line, 1) == reply::kAddBuddyAnswer) Confirmed(which->account, which->nick);
    });
}

fs::path BuddyRestore::DefaultFile() {
    return DataFolder() / "pending-restore.txt";
}

BuddyRestore::Entry* BuddyRestore::Find(std::string_view account) {
    const std::string key = LowerCp1252(account);
    for (Entry& e : entries_)
        if (LowerCp1252(e.account) == key) return &e;
    return nullptr;
}

const BuddyRestore::Entry* BuddyRestore::Find(std::string_view account) const {
    return const_cast<BuddyRestore*>(this)->Find(account);
}

void BuddyRestore::Record(std::string_view account, std::vector<std::string> order) {
    if (order.empty()) return Forget(account);
    if (Entry* e = Find(account)) {
        e->nicks = std::move(order);
    } else {
        entries_.push_back({std::string(account), std::move(order)});
    }
    Save();
}

void BuddyRestore::Forget(std::string_view account) {
    const Entry* e = Find(account);
    if (e == nullptr) return;
    entries_.erase(entries_.begin() + (e - entries_.data()));
    Save();
}

std::vector<std::string> BuddyRestore::Pending(std::string_view account) const {
    const Entry* e = Find(account);
    return e ? e->nicks : std::vector<std::string>{};
}

void BuddyRestore::AddBack(ReorderLink& link, const std::vector<std::string>& nicks) {
    const std::string account = link.NickName();
    for (const std::string& nick : nicks) {
        link.send(std::string(kAddBuddy) + nick, {.callback = addCB_,
                                                  .param = Param{AddBackParam{account, nick}},
                                                  .codes = kAddBuddyCodes});
    }
}

std::vector<std::string> BuddyRestore::RestoreAtLogOn(ReorderLink& link,
                                                      const std::vector<std::string>& downloaded) {
    const std::string account = link.NickName();
    std::vector<std::string> missing;
    for (const std::string& nick : Pending(account)) {
        if (std::find(downloaded.begin(), downloaded.end(), nick) == downloaded.end())
            missing.push_back(nick);
    }
    Record(account, missing);
    AddBack(link, missing);
    return missing;
}

void BuddyRestore::Confirmed(const std::string& account, const std::string& nick) {
    Entry* e = Find(account);
    if (e == nullptr) return;
    auto it = std::find(e->nicks.begin(), e->nicks.end(), nick);
    if (it == e->nicks.end()) return;
    e->nicks.erase(it);
    if (e->nicks.empty()) entries_.erase(entries_.begin() + (e - entries_.data()));
    Save();
}

void BuddyRestore::Load() {
    std::ifstream in(file_, std::ios::binary);
    if (!in) return;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + begin, end - begin);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        auto words = Words(line);
        if (words.size() > 1) {
            std::string account = std::move(words.front());
            words.erase(words.begin());
            entries_.push_back({std::move(account), std::move(words)});
        }
        begin = end + 1;
    }
}

void BuddyRestore::Save() const {
    std::error_code ec;
    if (entries_.empty()) {
        fs::remove(file_, ec);
        return;
    }
    std::string text;
    for (const Entry& e : entries_) {
        text += e.account;
        for (const std::string& nick : e.nicks) text += ' ' + nick;
        text += "\r\n";
    }
    // Written beside the record and renamed over it, so a crash never leaves half a record.
    const fs::path folder = file_.parent_path();
    if (!folder.empty() && !fs::exists(folder, ec)) {
        fs::create_directories(folder, ec);
        fs::permissions(folder, fs::perms::owner_all, ec);
    }
    fs::path temp = file_;
    temp += ".tmp";
    bool ok = false;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (out) {
            fs::permissions(temp, fs::perms::owner_read | fs::perms::owner_write, ec);
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            out.flush();
            ok = static_cast<bool>(out);
        }
    }
    if (ok) {
        fs::rename(temp, file_, ec);
        ok = !ec;
    }
    if (!ok) {
        fs::remove(temp, ec);
        DebugLog(Tag{}, "The list of buddies to restore could not be saved.", kLogError);
    }
}

}  // namespace vantor
