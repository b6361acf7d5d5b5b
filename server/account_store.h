// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vantor::server {

struct Account {
    std::string nick;                  // as first registered
    std::string code;                  // the encoded password the client sends in "apgar"
    std::vector<std::string> buddies;  // in the order added
};

// The accounts and their buddy lists, kept in one text file in the data folder. Changes mark the
// store dirty; Save replaces the file atomically (temporary file, fsync, rename), so a crash
// leaves either the old or the new file, never a torn one.
class AccountStore {
public:
    static constexpr std::size_t kMaxBuddies = 200;

    explicit AccountStore(std::filesystem::path dataDir);

    // Reads the file; a missing file is an empty store. Lines it cannot understand are skipped.
    bool Load(std::string& error);
    bool Save(std::string& error);
    bool Dirty() const { return dirty_; }

    // Case-insensitive; the pointer stays valid until the store is destroyed.
    Account* Find(std::string_view nick);
    Account& Create(std::string_view nick, std::string_view code);
    void SetCode(Account& account, std::string_view code);

    // No duplicates (compared without case), no invalid nicknames, at most kMaxBuddies.
    bool AddBuddy(Account& account, std::string_view buddy);
    bool DelBuddy(Account& account, std::string_view buddy);

    const std::filesystem::path& File() const { return file_; }

private:
    std::filesystem::path file_;
    std::unordered_map<std::string, Account> accounts_;  // by lower-cased nickname
    std::vector<std::string> order_;                     // keys in creation order, for the file
    bool dirty_ = false;
};

// The password codes that clients can produce: the encoding's 64-character alphabet only.
bool IsValidCode(std::string_view code);

}  // namespace vantor::server
