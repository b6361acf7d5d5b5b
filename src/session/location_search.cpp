// SPDX-License-Identifier: MIT
#include "session/location_search.h"

#include <string_view>
#include <utility>

#include "common/liveness.h"
#include "common/wire_text.h"
#include "session/location.h"
#include "transport/wolcon2.h"

namespace vantor {

namespace {

// A whole number written in plain decimal digits, or -1.
int PlainNumber(std::string_view text) {
    return SmallNumber(text).value_or(-1);
}

}  // namespace

LocationSearch::LocationSearch(LocationView& view, std::shared_ptr<Callback> answers)
    : view_(view), answers_(std::move(answers)) {}

LocationSearch::~LocationSearch() = default;

void LocationSearch::Start(const std::vector<std::string>& nicks,
                           const std::vector<std::int32_t>& ports,
                           std::optional<std::uint32_t> address) {
    Cancel();
    run_.Renew();
    const auto run = run_.watch();
    sessions_ = std::make_unique<WOLCons>();
    nicks_ = nicks;
    ports_ = ports;
    address_ = address;
    rows_ = static_cast<int>(nicks.size());
    expected_ = rows_ * static_cast<int>(ports.size());
    received_ = 0;
    failed_ = 0;
    queries_.assign(static_cast<std::size_t>(expected_), Query{});
    connecting_.clear();
    columnDown_.assign(ports.size(), false);
    next_ = 0;
    open_ = 0;
    view_.ShowProgress(0, expected_);
    if (expected_ == 0) {
        sessions_.reset();
        view_.SearchEnded(SearchResult{SearchResult::End::NothingToAsk, 0, 0, 0});
        return;
    }
    view_.SetIdleTimer(true);
    if (!run()) return;
    view_.SetPollTimer(true);
    if (!run()) return;
    Fill();
    if (run()) CheckDone();
}

void LocationSearch::Poll() {
    if (!sessions_) return;
    const auto run = run_.watch();
    // Advance may take a position off the list, so the walk goes over a copy.
    const std::vector<int> connecting = connecting_;
    for (int position : connecting) {
        Advance(position);
        if (!run()) return;
    }
    FailClosed();
    Fill();
    if (run()) CheckDone();
}

// A query whose connection the server closed gets no answer on it: it fails now rather than at
// the idle time-out, while the poll timer ran on for nothing.
void LocationSearch::FailClosed() {
    for (std::size_t i = 0; i < next_; ++i) {
        const Query& query = queries_[i];
        if (query.state != State::Asked) continue;
        WOLCon* session = sessions_->Item(query.key);
        if (!session || !session->Interface().IsConnected()) Fail(static_cast<int>(i + 1));
    }
}

void LocationSearch::Fill() {
    const auto run = run_.watch();
    while (sessions_ && open_ < kMaxOpen && next_ < queries_.size()) {
        const int position = static_cast<int>(++next_);
        const std::size_t column =
            (static_cast<std::size_t>(position) - 1) / static_cast<std::size_t>(rows_);
        if (columnDown_[column]) {
            queries_[static_cast<std::size_t>(position - 1)].state = State::Done;
            ++failed_;
            continue;
        }
        Open(position);
        if (!run()) return;
    }
}

void LocationSearch::Open(int position) {
    const int column = (position - 1) / rows_ + 1;
    const int row = position - (column - 1) * rows_;
    const std::string& nick = nicks_[static_cast<std::size_t>(row - 1)];
    // The same nickname twice (or differing only in case) needs a key of its own.
    std::string key = nick + std::to_string(column);
    WOLCon* session = sessions_->Add(key);
    for (int n = 2; !session; ++n) {
        key = nick + std::to_string(column) + "#" + std::to_string(n);
        session = sessions_->Add(key);
    }
    Query& query = queries_[static_cast<std::size_t>(position - 1)];
    query.key = key;
    query.state = State::Connecting;
    ++open_;
    connecting_.push_back(position);
    session->SetTag(Tag{position});
    const auto run = run_.watch();
    const bool started =
        session->Interface().BeginConnect(ports_[static_cast<std::size_t>(column - 1)], address_);
    if (!run()) return;
    if (!started) {
        Fail(position);
        return;
    }
    Advance(position);
}

void LocationSearch::Advance(int position) {
    Query& query = queries_[static_cast<std::size_t>(position - 1)];
    if (query.state != State::Connecting) return;
    WOLCon* session = sessions_->Item(query.key);
    if (!session) return;
    const auto run = run_.watch();
    const WOLCon2::ConnectProgress progress = session->Interface().PollConnect();
    if (!run()) return;
    switch (progress) {
        case WOLCon2::ConnectProgress::Pending:
            return;
        case WOLCon2::ConnectProgress::TimedOut:
            // Every other connect there would wait as long.
            columnDown_[static_cast<std::size_t>((position - 1) / rows_)] = true;
            [[fallthrough]];
        case WOLCon2::ConnectProgress::Refused:
            Fail(position);
            return;
        case WOLCon2::ConnectProgress::Connected:
            break;
    }
    std::erase(connecting_, position);
    query.state = State::Asked;
    const int column = (position - 1) / rows_ + 1;
    const int row = position - (column - 1) * rows_;
    view_.SetIdleTimer(true);
    if (!run()) return;
    session->send(std::string(kFindUser) + nicks_[static_cast<std::size_t>(row - 1)] + " 0",
                  {.callback = answers_,
                   .param = Param(std::to_string(row) + " " + std::to_string(column)),
                   .codes = {reply::kLocation}});
}

void LocationSearch::Fail(int position) {
    Query& query = queries_[static_cast<std::size_t>(position - 1)];
    std::erase(connecting_, position);
    if (sessions_->Remove(query.key)) --open_;
    query.state = State::Done;
    ++failed_;
}

void LocationSearch::RefreshRow(WOLCon& session, int row, const std::string& nick) {
    // Appended, not "S" + ...: GCC 12 at -O3 flags that form with a false -Wrestrict.
    std::string tag = "S";
    tag += std::to_string(row);
    session.send(std::string(kFindUser) + nick,
                 {.callback = answers_, .param = Param(tag), .codes = {reply::kLocation}});
}

void LocationSearch::Cancel() {
    view_.SetIdleTimer(false);
    view_.SetPollTimer(false);
    if (!sessions_) return;
    run_.Renew();
    std::unique_ptr<WOLCons> sessions = std::move(sessions_);
    // Quitting reaches no handler: search sessions raise no events.
    // A session still connecting has nobody to say goodbye to.
    sessions->ForEach([](WOLCon& session) {
        if (!session.Interface().Connecting()) session.Quit();
    });
}

void LocationSearch::IdleTimeOut() {
    if (sessions_) End(SearchResult::End::TimedOut);
}

void LocationSearch::Answer(const std::string& line, Delivery kind, const Param& param) {
    const std::string* tag = std::any_cast<std::string>(&param);
    if (!tag || tag->empty()) return;
    if ((*tag)[0] == 'S') {
        view_.RowRefreshed(PlainNumber(std::string_view(*tag).substr(1)), DecodeLocation(line));
        return;
    }

    // Only a running search counts answers; the sessions of a stopped one are gone.
    if (kind != Delivery::Answer || !sessions_) return;
    const auto fields = SplitWords(*tag, 2);  // "row column"
    if (fields.size() < 2) return;
    const int row = PlainNumber(fields[0]);
    const int column = PlainNumber(fields[1]);
    const int position = (column - 1) * rows_ + row;
    if (row < 1 || row > rows_ || column < 1 || position > expected_) return;
    Query& query = queries_[static_cast<std::size_t>(position - 1)];
    if (query.state != State::Asked) return;

    query.state = State::Done;
    ++received_;
    view_.SetIdleTimer(true);
    const std::string key = query.key;
    const auto run = run_.watch();
    view_.ShowLocation(row, column, DecodeLocation(line));
    if (!run()) return;
    // Closed now; destroyed once its own receive pass has let go of it.
    if (WOLCon* session = sessions_->Item(key)) {
        session->Quit();
        if (sessions_->Remove(key)) --open_;
    }
    view_.ShowProgress(received_, expected_);
    CheckDone();
}

void LocationSearch::CheckDone() {
    if (sessions_ && received_ + failed_ == expected_) End(SearchResult::End::Completed);
}

void LocationSearch::End(SearchResult::End end) {
    Cancel();
    view_.SearchEnded(SearchResult{end, received_, expected_, failed_});
}

}  // namespace vantor
