// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "session/main_view.h"

namespace vantor {

// What a location text says about a buddy, as the list's icon shows it.
enum class BuddyStatus { NotLoggedIn, Hiding, LoggedIn, ChatRoom, Game, Unknown };

// The kind of a location text as the location search writes it ("Not Logged In", "Chat Room:
// Iron Hand", "Game: ColdFront"); "Unknown" (not looked up), "Unrecognised location" and
// anything else are Unknown.
BuddyStatus StatusOf(std::string_view location);
// The lobby (the index into LobbyNames) of a "Chat Room: <name>" location; -1 for any other.
int LobbyOf(std::string_view location);
// The status in a few words for a screen reader: "in a chat room".
std::string_view StatusWords(BuddyStatus status);

// The order the list is drawn in ("BuddySort"); the list on the service keeps its own order.
enum class BuddySort : int { Service = 0, OnlineFirst = 1, ByName = 2 };
BuddySort SortFromSetting(std::int32_t value);  // anything unknown: Service

// How the list is drawn: the order, whether buddies not logged in are left out, and the
// location column (1-based) whose status the order and the icons go by.
struct ViewRule {
    BuddySort sort = BuddySort::Service;
    bool hideOffline = false;
    int column = 1;
    bool operator==(const ViewRule&) const = default;
};

// The service rows (1-based) in drawn order, hidden rows left out. Rows that the sort ranks the
// same keep the service's order. Online first ranks logged in, in a chat room and in a game
// first, then hiding, then unknown, then not logged in; by name compares nicknames in any
// letter case. A row is hidden only when every column says it is not logged in.
std::vector<int> DrawOrder(const std::vector<BuddyRow>& rows, const ViewRule& rule);

// The drawn order of a list as it changes, hidden rows included (drawn but not shown), so that
// a row that hides or shows keeps its place. Positions and rows count from 1. Each change of
// the rows is told here right after it is made to them, and answers where the row is drawn.
class BuddyOrder {
public:
    const ViewRule& Rule() const { return rule_; }
    const std::vector<int>& Drawn() const { return drawn_; }  // service rows, hidden ones too
    int Position(int row) const;                              // 0 for a row not drawn
    int RowAt(int position) const;                            // 0 outside the list
    bool Hidden(const std::vector<BuddyRow>& rows, int row) const;

    // A new rule, or rows changed throughout: returns, for each drawn position, the position
    // its row had before (0: a row not drawn before).
    std::vector<int> Reset(const std::vector<BuddyRow>& rows, const ViewRule& rule);
    void Clear();
    // The last row was added: its position.
    int Added(const std::vector<BuddyRow>& rows);
    // The row's locations changed: where it was drawn and where it is now.
    std::pair<int, int> Changed(const std::vector<BuddyRow>& rows, int row);
    // The row is gone from the rows (the later ones moved up): the position it had.
    int Removed(int row);

    // The first row drawn and shown whose nickname starts with the prefix, in any letter case;
    // 0 for none.
    int FirstStartingWith(const std::vector<BuddyRow>& rows, std::string_view prefix) const;

private:
    bool Before(const std::vector<BuddyRow>& rows, int a, int b) const;
    int Insert(const std::vector<BuddyRow>& rows, int row);
    void Renumber(std::size_t from);

    ViewRule rule_;
    std::vector<int> drawn_;     // by position - 1: the row
    std::vector<int> position_;  // by row - 1: the position
};

// What a drawing of the list reads: the rows, how they are drawn, when each cell was filled.
class BuddyTable {
public:
    virtual ~BuddyTable() = default;
    virtual ServerMode Mode() const = 0;
    virtual const std::vector<BuddyRow>& Rows() const = 0;
    virtual const BuddyOrder& Order() const = 0;
    virtual int DecidingColumn() const = 0;  // the status of a row is the status there
    virtual const std::vector<std::int64_t>& LookedUp(int row) const = 0;  // by column
    virtual std::int64_t WallNow() const = 0;  // seconds since the epoch
};

}  // namespace vantor
