// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "transport/callback.h"

namespace vantor {

class ReorderLink;

// The buddies that a reorder took (or may have taken) off an account's list and has not yet seen
// added again. Kept in a file, so a reorder cut short by a dead service, a dropped connection or
// a crash is mended at the next log-on, even after a restart. One line per account:
// the account, then its pending nicknames in the intended order, separated by blanks.
class BuddyRestore {
public:
    explicit BuddyRestore(std::filesystem::path file);
    BuddyRestore(const BuddyRestore&) = delete;
    BuddyRestore& operator=(const BuddyRestore&) = delete;

    // $XDG_DATA_HOME/vantor-desktop/pending-restore.txt (or under ~/.local/share).
    static std::filesystem::path DefaultFile();

    // Before a reorder's first DELBUDDY: every buddy of the new order counts as gone until its
    // ADDBUDDY is answered.
    void Record(std::string_view account, std::vector<std::string> order);
    void Forget(std::string_view account);  // the reorder completed
    std::vector<std::string> Pending(std::string_view account) const;

    // Sends ADDBUDDY for each nickname through link; each one answered "334" leaves the record.
    void AddBack(ReorderLink& link, const std::vector<std::string>& nicks);

    // At log-on, once the buddy list has come: adds back the pending buddies of link's account
    // that are missing from downloaded and returns them in order, for the caller to show and to
    // tell the user; pending buddies found on the list leave the record.
    std::vector<std::string> RestoreAtLogOn(ReorderLink& link,
                                            const std::vector<std::string>& downloaded);

    const std::filesystem::path& File() const { return file_; }

private:
    struct Entry {
        std::string account;
        std::vector<std::string> nicks;
    };
    Entry* Find(std::string_view account);
    const Entry* Find(std::string_view account) const;
    void Confirmed(const std::string& account, const std::string& nick);
    void Load();
    void Save() const;

    std::filesystem::path file_;
    std::vector<Entry> entries_;
    std::shared_ptr<Callback> addCB_;
};

}  // namespace vantor
