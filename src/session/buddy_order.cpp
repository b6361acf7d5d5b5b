// SPDX-License-Identifier: MIT
#include "session/buddy_order.h"

#include <algorithm>
#include <numeric>

#include "common/lobby_names.h"
#include "common/wire_text.h"
#include "session/location.h"

namespace vantor {

namespace {

constexpr std::string_view kChatRoomNamed = ": ";

// Online first: the smaller goes first.
int OnlineRank(BuddyStatus status) {
    switch (status) {
        case BuddyStatus::LoggedIn:
        case BuddyStatus::ChatRoom:
        case BuddyStatus::Game:
            return 0;
        case BuddyStatus::Hiding:
            return 1;
        case BuddyStatus::Unknown:
            return 2;
        case BuddyStatus::NotLoggedIn:
            return 3;
    }
    return 2;
}

const std::string& Location(const BuddyRow& row, int column) {
    static const std::string unknown(where::kUnknown);
    const auto c = static_cast<std::size_t>(column - 1);
    return column >= 1 && c < row.locations.size() ? row.locations[c] : unknown;
}

}  // namespace

BuddyStatus StatusOf(std::string_view location) {
    if (location == where::kNotLoggedIn) return BuddyStatus::NotLoggedIn;
    if (location == where::kHiding) return BuddyStatus::Hiding;
    if (location == where::kLoggedIn) return BuddyStatus::LoggedIn;
    if (location.starts_with(where::kGame)) return BuddyStatus::Game;
    if (location.starts_with(where::kChatRoom)) {
        const std::string_view rest = location.substr(where::kChatRoom.size());
        if (rest.empty() || rest.starts_with(kChatRoomNamed)) return BuddyStatus::ChatRoom;
    }
    return BuddyStatus::Unknown;
}

int LobbyOf(std::string_view location) {
    if (StatusOf(location) != BuddyStatus::ChatRoom) return -1;
    const std::string_view rest = location.substr(where::kChatRoom.size());
    if (!rest.starts_with(kChatRoomNamed)) return -1;
    const std::string_view name = rest.substr(kChatRoomNamed.size());
    const auto found = std::ranges::find(LobbyNames, name);
    return found == LobbyNames.end() ? -1 : static_cast<int>(found - LobbyNames.begin());
}

std::string_view StatusWords(BuddyStatus status) {
    switch (status) {
        case BuddyStatus::NotLoggedIn:
            return "not logged in";
        case BuddyStatus::Hiding:
            return "hiding";
        case BuddyStatus::LoggedIn:
            return "logged in";
        case BuddyStatus::ChatRoom:
            return "in a chat room";
        case BuddyStatus::Game:
            return "in a game";
        case BuddyStatus::Unknown:
            break;
    }
    return "location unknown";
}

BuddySort SortFromSetting(std::int32_t value) {
    switch (value) {
        case 1:
            return BuddySort::OnlineFirst;
        case 2:
            return BuddySort::ByName;
        default:
            return BuddySort::Service;
    }
}

std::vector<int> DrawOrder(const std::vector<BuddyRow>& rows, const ViewRule& rule) {
    BuddyOrder order;
    order.Reset(rows, rule);
    std::vector<int> shown;
    shown.reserve(rows.size());
    for (int row : order.Drawn())
        if (!order.Hidden(rows, row)) shown.push_back(row);
    return shown;
}

int BuddyOrder::Position(int row) const {
    if (row < 1 || row > static_cast<int>(position_.size())) return 0;
    return position_[static_cast<std::size_t>(row - 1)];
}

int BuddyOrder::RowAt(int position) const {
    if (position < 1 || position > static_cast<int>(drawn_.size())) return 0;
    return drawn_[static_cast<std::size_t>(position - 1)];
}

bool BuddyOrder::Hidden(const std::vector<BuddyRow>& rows, int row) const {
    if (!rule_.hideOffline || row < 1 || row > static_cast<int>(rows.size())) return false;
    const std::vector<std::string>& locations = rows[static_cast<std::size_t>(row - 1)].locations;
    return !locations.empty() && std::ranges::all_of(locations, [](const std::string& l) {
        return StatusOf(l) == BuddyStatus::NotLoggedIn;
    });
}

bool BuddyOrder::Before(const std::vector<BuddyRow>& rows, int a, int b) const {
    const BuddyRow& first = rows[static_cast<std::size_t>(a - 1)];
    const BuddyRow& second = rows[static_cast<std::size_t>(b - 1)];
    switch (rule_.sort) {
        case BuddySort::Service:
            break;
        case BuddySort::OnlineFirst: {
            const int ra = OnlineRank(StatusOf(Location(first, rule_.column)));
            const int rb = OnlineRank(StatusOf(Location(second, rule_.column)));
            if (ra != rb) return ra < rb;
            break;
        }
        case BuddySort::ByName: {
            const std::string na = LowerCp1252(first.nick);
            const std::string nb = LowerCp1252(second.nick);
            if (na != nb) return na < nb;
            break;
        }
    }
    return a < b;
}

std::vector<int> BuddyOrder::Reset(const std::vector<BuddyRow>& rows, const ViewRule& rule) {
    rule_ = rule;
    const std::vector<int> before = position_;
    drawn_.resize(rows.size());
    std::iota(drawn_.begin(), drawn_.end(), 1);
    // Ties fall back to the row, so a plain sort keeps the service's order among them.
    std::ranges::sort(drawn_, [&](int a, int b) { return Before(rows, a, b); });
    position_.assign(rows.size(), 0);
    Renumber(0);
    std::vector<int> was(drawn_.size(), 0);
    for (std::size_t i = 0; i < drawn_.size(); ++i) {
        const auto row = static_cast<std::size_t>(drawn_[i] - 1);
        if (row < before.size()) was[i] = before[row];
    }
    return was;
}

void BuddyOrder::Clear() {
    drawn_.clear();
    position_.clear();
}

int BuddyOrder::Insert(const std::vector<BuddyRow>& rows, int row) {
    const auto at =
        std::ranges::lower_bound(drawn_, row, [&](int a, int b) { return Before(rows, a, b); });
    const auto index = static_cast<std::size_t>(at - drawn_.begin());
    drawn_.insert(at, row);
    return static_cast<int>(index) + 1;
}

void BuddyOrder::Renumber(std::size_t from) {
    for (std::size_t i = from; i < drawn_.size(); ++i)
        position_[static_cast<std::size_t>(drawn_[i] - 1)] = static_cast<int>(i) + 1;
}

int BuddyOrder::Added(const std::vector<BuddyRow>& rows) {
    const int row = static_cast<int>(rows.size());
    position_.resize(rows.size(), 0);
    const int position = Insert(rows, row);
    Renumber(static_cast<std::size_t>(position - 1));
    return position;
}

std::pair<int, int> BuddyOrder::Changed(const std::vector<BuddyRow>& rows, int row) {
    const int from = Position(row);
    if (from == 0) return {0, 0};
    // Nothing but the location moves a row, and only the online-first order reads it.
    if (rule_.sort != BuddySort::OnlineFirst) return {from, from};
    drawn_.erase(drawn_.begin() + (from - 1));
    const int to = Insert(rows, row);
    Renumber(static_cast<std::size_t>(std::min(from, to) - 1));
    return {from, to};
}

int BuddyOrder::Removed(int row) {
    const int position = Position(row);
    if (position == 0) return 0;
    drawn_.erase(drawn_.begin() + (position - 1));
    position_.erase(position_.begin() + (row - 1));
    for (int& r : drawn_)
        if (r > row) --r;
    Renumber(static_cast<std::size_t>(position - 1));
    return position;
}

int BuddyOrder::FirstStartingWith(const std::vector<BuddyRow>& rows,
                                  std::string_view prefix) const {
    if (prefix.empty()) return 0;
    const std::string wanted = LowerCp1252(prefix);
    for (int row : drawn_) {
        if (row > static_cast<int>(rows.size()) || Hidden(rows, row)) continue;
        const std::string_view nick = rows[static_cast<std::size_t>(row - 1)].nick;
        if (nick.size() >= wanted.size() && LowerCp1252(nick.substr(0, wanted.size())) == wanted)
            return row;
    }
    return 0;
}

}  // namespace vantor
