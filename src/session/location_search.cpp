// SPDX-License-Identifier: MIT
#include "session/location_search.h"

#include <string_view>
#include <utility>

#include "common/liveness.h"
#include "common/wire_text.h"
#include "session/location.h"

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
                           const std::vector<std::int32_t>& ports) {
    Cancel();
    run_.Renew();
    const auto run = run_.watch();
    sessions_ = std::make_unique<WOLCons>();
    rows_ = static_cast<int>(nicks.size());
    expected_ = rows_ * static_cast<int>(ports.size());
    received_ = 0;
    failed_ = 0;
    keys_.assign(static_cast<std::size_t>(expected_), std::string());
    view_.ShowProgress(0, expected_);
    if (expected_ == 0) {
        sessions_.reset();
        view_.SearchEnded(SearchResult{SearchResult::End::NothingToAsk, 0, 0, 0});
        return;
    }
    view_.SetIdleTimer(true);

    for (int c = 1; c <= static_cast<int>(ports.size()); ++c) {
        bool portDown = false;  // one failed connect is enough: each would wait for its time-out
        for (int i = 1; i <= rows_; ++i) {
            if (!portDown) {
                portDown = !Send(i, c, nicks[static_cast<std::size_t>(i - 1)],
                                 ports[static_cast<std::size_t>(c - 1)]);
            }
            if (portDown) ++failed_;
            CheckDone();
            // Answers to the earlier queries are handled while the later ones go out.
            view_.LetEventsRun();
            if (!run() || !sessions_) return;
            view_.RunReceivePass();
            if (!run() || !sessions_) return;
        }
    }
}

bool LocationSearch::Send(int row, int column, const std::string& nick, std::int32_t port) {
    const int position = (column - 1) * rows_ + row;
    // The same nickname twice (or differing only in case) needs a key of its own.
    std::string key = nick + std::to_string(column);
    WOLCon* session = sessions_->Add(key);
    for (int n = 2; !session; ++n) {
        key = nick + std::to_string(column) + "#" + std::to_string(n);
        session = sessions_->Add(key);
    }
    keys_[static_cast<std::size_t>(position - 1)] = key;
    session->SetTag(Tag{position});
    if (!session->connect(port)) {
        sessions_->Remove(key);
        return false;
    }
    view_.SetIdleTimer(true);
    session->send("FINDUSEREX " + nick + " 0",
                  Param(std::to_string(row) + " " + std::to_string(column)), answers_, "398");
    return true;
}

void LocationSearch::RefreshRow(WOLCon& session, int row, const std::string& nick) {
    session.send("FINDUSEREX " + nick, Param("S" + std::to_string(row)), answers_, "398");
}

void LocationSearch::Cancel() {
    view_.SetIdleTimer(false);
    if (!sessions_) return;
    run_.Renew();
    std::unique_ptr<WOLCons> sessions = std::move(sessions_);
    // Quitting reaches no handler: search sessions raise no events.
    sessions->ForEach([](WOLCon& session) { session.Quit(); });
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

    ++received_;
    view_.SetIdleTimer(true);
    const std::string key = keys_[static_cast<std::size_t>(position - 1)];
    const auto run = run_.watch();
    view_.ShowLocation(row, column, DecodeLocation(line));
    if (!run()) return;
    // Closed now; destroyed once its own receive pass has let go of it.
    if (WOLCon* session = sessions_->Item(key)) {
        session->Quit();
        sessions_->Remove(key);
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
