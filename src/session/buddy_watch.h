// SPDX-License-Identifier: MIT
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace vantor {

// What a buddy's move from one shown location to another is worth telling: coming on or going
// off ("Not Logged In" to or from anything known), or going from a chat room into a game.
// Returns the sentence ("marla is now in Game: Red Alert"), or nothing.
std::optional<std::string> BuddyMoveText(const std::string& nick, const std::string& before,
                                         const std::string& now);

// Remembers where each buddy was last seen, per location column, across location searches, and
// says which sightings are news: at most one per buddy per search, and none for a buddy not seen
// since Forget (so the first search after a log-on only records).
class BuddyWatch {
public:
    void Forget();     // a new list: nothing seen yet
    void NewSearch();  // each buddy may make news once again
    std::optional<std::string> Seen(const std::string& nick, int column,
                                    const std::string& location);

private:
    std::map<std::pair<std::string, int>, std::string> last_;  // lower-cased nick, column
    std::set<std::string> told_;                               // lower-cased, this search
};

}  // namespace vantor
