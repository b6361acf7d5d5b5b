// SPDX-License-Identifier: MIT
// The main window's buddy list: filling it, where each buddy is, and the changes made to it.
#include <chrono>
#include <cmath>
#include <ctime>
#include <exception>

#include "session/buddy_roster.h"

#include "diagnostics/debug_log.h"
#include "session/buddy_list.h"
#include "session/buddy_tip.h"
#include "session/location.h"
#include "settings/settings_source.h"
#include "transport/wolcon2.h"

namespace vantor {

namespace {

constexpr double kSecondsPerDay = 86400.0;

std::int64_t SystemSeconds() {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

double SecondsSinceMidnight() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto whole = floor<seconds>(now);
    const std::time_t t = system_clock::to_time_t(whole);
    const std::tm* local = std::localtime(&t);
    const double fraction = duration<double>(now - whole).count();
    if (local == nullptr) return fraction;
    return local->tm_hour * 3600.0 + local->tm_min * 60.0 + local->tm_sec + fraction;
}

std::string SearchCompletedText(double start, double end, const std::string& decimalPoint) {
    double elapsed = end - start;
    if (elapsed < 0) elapsed += kSecondsPerDay;
    // Hundredths, with an exact half going to the even neighbour (the default rounding mode),
    // written without trailing zeros.
    const auto hundredths = static_cast<long long>(std::nearbyint(elapsed * 100.0));
    std::string text = std::to_string(hundredths / 100);
    if (const long long fraction = hundredths % 100; fraction != 0) {
        // Appended, not "0" + ...: GCC 12 at -O3 flags that form with a false -Wrestrict.
        std::string digits = fraction < 10 ? "0" : "";
        digits += std::to_string(fraction);
        if (digits.back() == '0') digits.pop_back();
        text += decimalPoint;
        text += digits;
    }
    std::string completed = "Search completed in ";
    completed += text;
    completed += " seconds";
    return completed;
}

void BuddyRoster::Tick() {
    if (!searchDue_ || !host_.LoggedOn()) return;
    if (host_.Now() - linkUpAt_ < Settings().Get(setting::kReconnectSearchDelay)) return;
    searchDue_ = false;
    RefreshLocations();
}

BuddyRoster::BuddyRoster(RosterHost& host, MainView& view, MainControls& controls)
    : host_(host),
      view_(view),
      controls_(controls),
      budCheckCB_(std::make_shared<Callback>()),
      search_(*this, budCheckCB_),
      wallClock_(&SystemSeconds) {
    budCheckCB_->SetHandler([this](const std::string& line, Delivery kind, const Param& param) {
        BudCheckCB_Callback(line, kind, param);
    });
}

BuddyRoster::~BuddyRoster() {
    budCheckCB_->SetHandler(nullptr);
}

void BuddyRoster::SetListMender(ListMender mender) {
    mender_ = std::move(mender);
}

void BuddyRoster::SetDecimalPoint(std::string point) {
    decimalPoint_ = std::move(point);
}

void BuddyRoster::SetWallClock(WallClock clock) {
    wallClock_ = clock ? std::move(clock) : WallClock(&SystemSeconds);
}

const std::vector<std::int64_t>& BuddyRoster::LookedUp(int row) const {
    static const std::vector<std::int64_t> none;
    if (row < 1 || row > static_cast<int>(lookedUp_.size())) return none;
    return lookedUp_[static_cast<std::size_t>(row - 1)];
}

int BuddyRoster::DecidingColumn() const {
    const std::int32_t server = host_.ServerIndex();
    return mode_ == ServerMode::AllServers && server >= 0 && server < kServerCount ? server + 1 : 1;
}

ViewRule BuddyRoster::SettingsRule() const {
    return {.sort = SortFromSetting(Settings().Get(setting::kBuddySort)),
            .hideOffline = Settings().Get(setting::kBuddyHideOffline) != 0,
            .column = DecidingColumn()};
}

void BuddyRoster::SetViewOrder(BuddySort sort, bool hideOffline) {
    Settings().Set(setting::kBuddySort, static_cast<std::int32_t>(sort));
    Settings().Set(setting::kBuddyHideOffline, hideOffline ? 1 : 0);
    Redraw();
}

void BuddyRoster::ApplyViewSettings() {
    Redraw();
}

void BuddyRoster::Redraw() {
    std::vector<int> was = order_.Reset(rows_, SettingsRule());
    if (mode_ == ServerMode::None || rows_.empty()) return;
    view_.ShowList({.kind = ListChange::Kind::Order, .was = std::move(was)});
}

void BuddyRoster::AddRow(const std::string& nick, bool filling) {
    rows_.push_back({nick, std::vector<std::string>(Columns(), std::string(where::kUnknown))});
    lookedUp_.emplace_back(static_cast<std::size_t>(Columns()), kNever);
    const int position = order_.Added(rows_);
    view_.ShowList({.kind = ListChange::Kind::Added,
                    .row = static_cast<int>(rows_.size()),
                    .filling = filling,
                    .position = position});
}

void BuddyRoster::LoggedOn() {
    restoreDue_ = true;
}

void BuddyRoster::LinkBack() {
    linkUpAt_ = host_.Now();
    ClearBuddyList();  // the download that follows fills it afresh
}

void BuddyRoster::LinkLost() {
    view_.SetTimer(MainTimer::Minute, false);
    StopSearch();
    searchDue_ = false;
    controls_.page = controls_.add = controls_.del = controls_.refresh = controls_.reorder = false;
    host_.ControlsChanged();
}

void BuddyRoster::LoggingOff() {
    view_.SetTimer(MainTimer::Minute, false);
    controls_.page = controls_.add = controls_.del = controls_.refresh = controls_.reorder = false;
    host_.ControlsChanged();
}

void BuddyRoster::LoggedOff() {
    controls_.menuReDownload = controls_.menuRefreshRow = controls_.menuRefresh = false;
    host_.ControlsChanged();
    ClearBuddyList();
    linkUpAt_ = -1;
    ShowProgress(0, progressMax_);
}

int BuddyRoster::Columns() const {
    switch (mode_) {
        case ServerMode::None:
            return 0;
        case ServerMode::OneServer:
            return 1;
        case ServerMode::AllServers:
            return kServerCount;
    }
    return 0;
}

void BuddyRoster::WOL_BuddyListResult(const std::string& list, int result) {
    if (result != 0) return;
    // Filled (and searched) after the receive pass that brought the list has unwound, so that
    // the main session keeps being read meanwhile.
    view_.Later(0, [this, list, listed = listFill_.watch()] {
        if (listed()) FillBuddyList(list);
    });
}

void BuddyRoster::FillBuddyList(const std::string& list) {
    const bool allServers = Settings().Get(setting::kScanBuddyOtherServer) == 1;
    SetupColumns(allServers);
    const auto filling = listFill_.watch();
    std::vector<std::string> nicks = SplitBuddyList(list);
    // Buddies an unfinished reorder took off go back at the end, where the service adds them.
    std::vector<std::string> restored;
    if (restoreDue_) {
        restoreDue_ = false;
        if (mender_) restored = mender_(nicks);
        if (!filling()) return;
    }
    nicks.insert(nicks.end(), restored.begin(), restored.end());
    for (const std::string& nick : nicks) {
        AddRow(nick, true);
        // A log-off meanwhile emptied the list; what is left of this one is stale.
        if (!filling()) return;
    }
    controls_.page = controls_.menuReDownload = controls_.menuRefreshRow = true;
    host_.ControlsChanged();
    if (Settings().Get(setting::kAutoBuddyRefreshInt) != 0) {
        view_.SetTimer(MainTimer::Minute, true);
        refreshMinutes_ = 0;
    }
    // A link that came back is searched once it has held a while: one that flaps would open a
    // round of search connections at every log-on.
    const std::int32_t delay = Settings().Get(setting::kReconnectSearchDelay);
    if (linkUpAt_ >= 0 && delay > 0 && host_.Now() - linkUpAt_ < delay) {
        searchDue_ = true;
        SetSearchControls(false);
    } else {
        RefreshLocations();
    }
    if (restored.empty()) return;
    // After the receive pass that brought the list, so the location search is not held up.
    view_.Later(0, [this, restored, alive = alive_.watch()] {
        if (alive()) host_.Tell({.message = MainMessage::BuddiesRestored, .nicks = restored});
    });
}

void BuddyRoster::SetupColumns(bool allServers) {
    mode_ = allServers ? ServerMode::AllServers : ServerMode::OneServer;
    for (BuddyRow& row : rows_) row.locations.resize(static_cast<std::size_t>(Columns()));
    for (auto& times : lookedUp_) times.resize(static_cast<std::size_t>(Columns()), kNever);
    view_.ShowList({.kind = ListChange::Kind::Columns});
    // The column the order goes by is the server's, known now.
    Redraw();
}

void BuddyRoster::ClearBuddyList() {
    listFill_.Renew();
    searchDue_ = false;
    // Outstanding answers would carry row numbers of the old list.
    StopSearch();
    buddyWatch_.Forget();
    rows_.clear();
    lookedUp_.clear();
    order_.Clear();
    mode_ = ServerMode::None;
    view_.ShowList({.kind = ListChange::Kind::Cleared});
}

void BuddyRoster::SetSearchControls(bool on) {
    controls_.refresh = controls_.add = controls_.del = controls_.reorder = on;
    controls_.menuRefresh = on;
    host_.ControlsChanged();
}

void BuddyRoster::RefreshLocations() {
    SetSearchControls(false);
    searchStart_ = SecondsSinceMidnight();
    // The columns chosen when the list was filled decide, so that a setting changed since then
    // cannot send answers to columns the list does not show.
    std::vector<std::string> nicks;
    for (const BuddyRow& row : rows_) nicks.push_back(row.nick);
    const std::int32_t basePort = Settings().Get(setting::kServerPort);
    std::vector<std::int32_t> ports;
    if (mode_ == ServerMode::AllServers) {
        for (int server = 0; server < kServerCount; ++server) ports.push_back(basePort + server);
    } else {
        ports.push_back(basePort + host_.ServerIndex());
    }
    const std::optional<std::uint32_t> address = host_.ServerAddress();
    buddyWatch_.NewSearch();
    search_.Start(nicks, ports, address);
}

void BuddyRoster::RefreshRow(int row) {
    if (row < 1 || row > static_cast<int>(rows_.size())) return;
    buddyWatch_.NewSearch();
    search_.RefreshRow(host_.WOL(), row, rows_[static_cast<std::size_t>(row - 1)].nick);
}

void BuddyRoster::BudCheckCB_Callback(const std::string& line, Delivery kind, const Param& param) {
    search_.Answer(line, kind, param);
}

void BuddyRoster::ShowLocation(int row, int column, const std::string& location) {
    // Rows removed meanwhile leave the index past the end.
    if (row < 1 || row > static_cast<int>(rows_.size())) return;
    if (column < 1 || column > Columns()) return;
    BuddyRow& buddy = rows_[static_cast<std::size_t>(row - 1)];
    buddy.locations[static_cast<std::size_t>(column - 1)] = location;
    lookedUp_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)] =
        wallClock_();
    const std::string nick = buddy.nick;
    const auto [from, to] = order_.Changed(rows_, row);
    if (from != to) {
        view_.ShowList({.kind = ListChange::Kind::Moved, .row = row, .position = to, .from = from});
    }
    view_.ShowList({.kind = ListChange::Kind::Cell, .row = row, .column = column, .position = to});
    if (Settings().Get(setting::kBuddyAlerts) == 0) return;
    if (const auto news = buddyWatch_.Seen(nick, column, location)) view_.BuddyMoved(nick, *news);
}

void BuddyRoster::RowRefreshed(int row, const std::string& location) {
    if (rows_.empty()) return;
    // The main session answers for the server logged on to: with a column per server that is the
    // column of that server.
    ShowLocation(row, DecidingColumn(), location);
    FinishSearch();
}

void BuddyRoster::ShowProgress(int value, int max) {
    progressMax_ = max;
    view_.ShowProgress(value, max);
}

void BuddyRoster::SetIdleTimer(bool running) {
    view_.SetTimer(MainTimer::SearchIdle, running);
}

void BuddyRoster::SetPollTimer(bool running) {
    view_.SetTimer(MainTimer::SearchPoll, running);
}

void BuddyRoster::SearchEnded(const SearchResult& result) {
    if (result.end == SearchResult::End::Completed) {
        searchEnd_ = SecondsSinceMidnight();
        std::string text = SearchCompletedText(searchStart_, searchEnd_, decimalPoint_);
        if (result.failed != 0) {
            text += " (" + std::to_string(result.failed) + " of " +
                    std::to_string(result.expected) + " could not connect)";
        }
        host_.SetStatus(text);
    } else if (result.end == SearchResult::End::TimedOut) {
        host_.SetStatus("Search timed out: " + std::to_string(result.received) + " of " +
                        std::to_string(result.expected) + " locations found");
    }
    ShowProgress(0, progressMax_);
    FinishSearch();
}

void BuddyRoster::PumpSearch() {
    // A search session that fails only ends this tick.
    try {
        search_.Poll();
        WOLCons* sessions = search_.Sessions();
        if (!sessions) return;
        // ForEach skips a session that a handler removes, even when the whole search is dropped.
        sessions->ForEach([](WOLCon& session) {
            if (!session.InPass()) session.PopulateBuff();
        });
    } catch (const std::exception& e) {
        DebugLog(Tag{std::string("M")}, std::string("Location search pass failed: ") + e.what(),
                 kLogError);
    } catch (...) {
        DebugLog(Tag{std::string("M")}, "Location search pass failed.", kLogError);
    }
}

void BuddyRoster::SearchIdle() {
    search_.IdleTimeOut();
}

void BuddyRoster::StopSearch() {
    search_.Cancel();
    ShowProgress(0, progressMax_);
}

void BuddyRoster::FinishSearch() {
    SetSearchControls(true);
}

void BuddyRoster::RefBuddy_Timer() {
    if (Settings().Get(setting::kAutoBuddyRefresh) == 0) {
        view_.SetTimer(MainTimer::Minute, false);
        return;
    }
    ++refreshMinutes_;
    if (refreshMinutes_ >= Settings().Get(setting::kAutoBuddyRefreshInt)) {
        RefreshLocations();
        refreshMinutes_ = 0;
    }
}

void BuddyRoster::ReDownload() {
    controls_.menuReDownload = false;
    host_.ControlsChanged();
    ClearBuddyList();
    host_.WOL().GetBuddies();
}

void BuddyRoster::AddBuddy(const std::string& nick) {
    if (!host_.LoggedOn()) return;
    host_.WOL().send(std::string(kAddBuddy) + nick);
    if (mode_ == ServerMode::None) SetupColumns(false);
    AddRow(nick, false);
    const int row = static_cast<int>(rows_.size());
    SetSearchControls(false);
    search_.RefreshRow(host_.WOL(), row, nick);
}

void BuddyRoster::DeleteBuddy(int row) {
    if (host_.Ended() || !host_.LoggedOn() || row < 1 || row > static_cast<int>(rows_.size()))
        return;
    host_.WOL().send(std::string(kDelBuddy) + rows_[static_cast<std::size_t>(row - 1)].nick);
    const int position = order_.Removed(row);
    rows_.erase(rows_.begin() + (row - 1));
    lookedUp_.erase(lookedUp_.begin() + (row - 1));
    view_.ShowList({.kind = ListChange::Kind::Removed, .row = row, .position = position});
}

void BuddyRoster::ReorderFinished(bool listChanged) {
    // A run that failed after its first delete was cancelled, but the service's list has changed
    // all the same. Over a lost connection the next log-on downloads it (and mends it).
    if (!listChanged || !host_.LoggedOn() || !host_.WOL().Interface().IsConnected()) return;
    controls_.page = controls_.add = controls_.del = controls_.refresh = false;
    host_.ControlsChanged();
    ClearBuddyList();
    host_.WOL().GetBuddies();
}

}  // namespace vantor
