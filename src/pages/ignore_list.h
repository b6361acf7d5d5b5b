// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace vantor {

// The nicknames the user does not want to hear from: no page, private message or lobby line of
// theirs is shown. Names are kept as first written and compared in the lobby's letter case
// (LowerCp1252), so ignoring "bob" also ignores "BOB" but not "bobby". Texts are Windows-1252.
//
// A list made here lives in memory only; once Load has read the registry value "IgnoreList"
// (the names separated by spaces; none or empty: nobody is ignored), every change is written
// back to it.
class IgnoreList {
public:
    // Holds a change handler while it lives; the list keeps it weakly, so a handler whose
    // owner has gone is never called.
    using Watch = std::shared_ptr<const std::function<void()>>;

    IgnoreList() = default;
    IgnoreList(const IgnoreList&) = delete;
    IgnoreList& operator=(const IgnoreList&) = delete;

    bool Empty() const { return names_.empty(); }
    // A hash look-up, for the receive pass.
    bool Contains(std::string_view nick) const;
    const std::vector<std::string>& Names() const { return names_; }  // in the order added

    // False, and nothing changes, for a name that is empty, holds a space or a control
    // character, or is on the list already in any letter case.
    bool Add(std::string_view nick);
    bool Remove(std::string_view nick);  // any letter case; false when it was not there
    void Set(std::string_view nick, bool ignored);
    // The whole list anew; what Add refuses is left out.
    void Assign(const std::vector<std::string>& names);

    // The registry value: the names joined by single spaces.
    std::string Text() const;
    // The names of a registry value, separated by any run of spaces, tabs or line breaks.
    static std::vector<std::string> ParseText(std::string_view text);

    // Reads "IgnoreList" through the settings, and from now on writes each change back.
    void Load();

    // The handler runs after every change, with the list as it now stands.
    [[nodiscard]] Watch OnChange(std::function<void()> handler);

private:
    bool Insert(std::string_view nick);
    void Changed();

    std::vector<std::string> names_;
    std::unordered_set<std::string> folded_;
    bool stored_ = false;
    std::vector<std::weak_ptr<const std::function<void()>>> watchers_;
};

// The user's list, one for the whole program and every server, log-on and nickname. Start-up
// loads it, right after the settings; until then (and in tests that do not) it is empty and
// kept in memory.
IgnoreList& Ignores();

}  // namespace vantor
