// SPDX-License-Identifier: MIT
#include "pages/page_router.h"

#include <algorithm>
#include <utility>

#include "common/liveness.h"
#include "common/wire_text.h"
#include "diagnostics/debug_log.h"
#include "pages/page_win.h"
#include "settings/settings_source.h"

namespace vantor {

namespace {

const Tag kNoTag{0};
constexpr std::string_view kInvite = "<WWINVITE>";
constexpr std::string_view kDecline = "<WWDECLINE>";
constexpr std::size_t kMaxLine = 512;

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    quoted += text;
    quoted += '"';
    return quoted;
}

constexpr const char* kNotSent = "Not connected: the page was not sent.";

}  // namespace

bool PageFitsLine(std::string_view nick, std::string_view message) {
    return std::string_view("PAGE ").size() + nick.size() + std::string_view(" :").size() +
               message.size() + std::string_view("\r\n").size() <=
           kMaxLine;
}

struct PageRouter::Impl : PageHost {
    Impl(SendFn fn, IgnoreList& list) : send(std::move(fn)), ignores(list) {}

    std::shared_ptr<PageWin> Find(std::string_view nick) const {
        const std::string lower = LowerCp1252(nick);
        for (const auto& conv : wins)
            if (LowerCp1252(conv->FromNick()) == lower) return conv;
        return nullptr;
    }

    std::shared_ptr<PageWin> NewPageWin(const std::string& nick) {
        if (nick.empty()) {
            DebugLog(kNoTag, "Refusing to open a page window without a nickname.", kLogError);
            return nullptr;
        }
        // Keys are unique without regard to case, so a request spelled differently from the
        // open conversation activates that one instead of opening a second window.
        if (auto open = Find(nick)) {
            open->SetFocus();
            return open;
        }
        const auto alive = liveness.watch();
        DebugLog(kNoTag, "Creating new page window for user " + Quoted(nick) + ".", kLogNote);
        if (!alive()) return nullptr;
        auto conv = std::make_shared<PageWin>();
        conv->SetWOL(this, liveness.watch());
        conv->SetNickName(ownNick);
        conv->SetFromNick(nick);
        // In the set before the window exists, so a page routed while it opens finds it.
        wins.push_back(conv);
        conv->CreateWin();
        return conv;
    }

    void ClosePageWin(const std::string& nick) {
        std::vector<std::shared_ptr<PageWin>> matches;
        for (const auto& conv : wins)
            if (conv->FromNick() == nick) matches.push_back(conv);
        for (const auto& conv : matches) conv->CloseWin();
    }

    void CloseAllPageWin() {
        // Closing removes entries and may route pages that open new ones; work on copies until
        // nothing is left.
        const auto alive = liveness.watch();
        while (alive() && !wins.empty()) {
            const auto open = wins;
            for (const auto& conv : open) conv->CloseWin();
        }
    }

    void RemovePageWin(const std::string& nick) {
        const std::string lower = LowerCp1252(nick);
        auto it = std::find_if(wins.begin(), wins.end(), [&](const auto& conv) {
            return LowerCp1252(conv->FromNick()) == lower;
        });
        if (it == wins.end()) return;
        const auto dropped = std::move(*it);  // destroyed after the set is consistent again
        wins.erase(it);
    }

    void RemovePageWin(const PageWin& conversation) override {
        auto it = std::find_if(wins.begin(), wins.end(),
                               [&](const auto& conv) { return conv.get() == &conversation; });
        if (it == wins.end()) return;
        const auto dropped = std::move(*it);
        wins.erase(it);
    }

    void PageUser(const std::string& nick, const std::string& message,
                  const std::shared_ptr<PageWin>& window) override {
        if (linkDown) {
            if (window) window->Notify(kNotSent);
            return;
        }
        const std::string command = "PAGE " + nick + " :" + message;
        if (!PageFitsLine(nick, message)) {
            DebugLog(kNoTag,
                     "Not sending a page of " + std::to_string(command.size() + 2) + " bytes to " +
                         Quoted(nick) + ": the line limit is 512.",
                     kLogNote);
            if (window) window->Notify(kPageTooLong);
            return;
        }
        if (!window) {
            CallCopy(send, command, ReplySpec{});
        } else {
            CallCopy(send, command,
                     ReplySpec{.callback = pageCB,
                               .param = Param{std::weak_ptr<PageWin>(window)},
                               .codes = {reply::kPageResult}});
        }
    }

    void OnReceivedPage(const std::string& line) {
        const auto fields = SplitWords(line, 4);
        if (fields.size() < 4 || fields[3].size() < 2 || fields[0].empty()) {
            DebugLog(kNoTag, "Ignoring unreadable page " + Quoted(line) + ".", kLogNote);
            return;
        }
        const std::string_view prefix = fields[0].substr(0, fields[0].find('!'));
        const std::string sender(prefix.substr(std::min<std::size_t>(1, prefix.size())));
        const std::string message(fields[3].substr(1));
        if (sender.empty()) {
            DebugLog(kNoTag, "Ignoring page without a sender " + Quoted(line) + ".", kLogNote);
            return;
        }
        const auto alive = liveness.watch();
        DebugLog(kNoTag, "Page received from " + sender + " : " + Quoted(message) + ".", kLogNote);
        if (!alive()) return;

        // Ignored means not answered either, not even an invitation.
        if (ignores.Contains(sender)) {
            DebugLog(kNoTag, "Dropping the page from " + sender + ": ignored.", kLogNote);
            return;
        }
        if (message.starts_with(kInvite)) {
            PageUser(sender, "<WWDECLINE>1", nullptr);
            return;
        }
        if (message.starts_with(kDecline)) return;
        if (Settings().Get(setting::kPagesFromBuddiesOnly) != 0 && !CallCopy(isBuddy, sender)) {
            DebugLog(kNoTag, "Dropping the page from " + sender + ": not a buddy.", kLogNote);
            return;
        }

        if (const auto open = Find(sender)) {
            DebugLog(kNoTag, "Redirecting page from " + sender + " to relevant page window.",
                     kLogNote);
            open->InPage(message);
            return;
        }
        if (const auto conv = NewPageWin(LowerCp1252(sender))) conv->InPage(message);
    }

    bool Ignored(std::string_view nick) const override { return ignores.Contains(nick); }
    void SetIgnored(const std::string& nick, bool ignored) override { ignores.Set(nick, ignored); }

    void ShowIgnored() {
        // A window may go while it is told: walk a copy.
        const auto open = wins;
        for (const auto& conv : open) conv->ShowIgnored();
    }

    void PageCB_Callback(const std::string& line, Delivery kind, const Param& param) {
        const auto* weak = std::any_cast<std::weak_ptr<PageWin>>(&param);
        if (weak == nullptr) return;
        const auto conv = weak->lock();
        if (!conv) return;  // the window closed while its page was on its way
        if (kind == Delivery::Expired) {
            conv->Notify("The page may not have been delivered.");
            return;
        }
        if (kind != Delivery::Answer) return;

        const auto result = SignedNumber(WordAt(line, 3));
        if (!result) {
            DebugLog(kNoTag, "Ignoring unreadable page reply " + Quoted(line) + ".", kLogNote);
            return;
        }
        conv->Callback(*result);
    }

    SendFn send;
    IgnoreList& ignores;
    IgnoreList::Watch ignoresWatch;
    BuddyCheck isBuddy;
    std::string ownNick;
    bool linkDown = false;
    std::vector<std::shared_ptr<PageWin>> wins;
    std::shared_ptr<Callback> pageCB;
    // Any call-out (the debug log, a window) may destroy the session and this set with it.
    Liveness liveness;
};

PageRouter::PageRouter(SendFn send, IgnoreList& ignores)
    : impl_(std::make_unique<Impl>(std::move(send), ignores)) {
    Impl* impl = impl_.get();
    impl_->ignoresWatch = ignores.OnChange([impl] { impl->ShowIgnored(); });
    impl_->pageCB = MakeCallback([impl, alive = impl_->liveness.watch()](
                                     const std::string& line, Delivery kind, const Param& p) {
        if (alive()) impl->PageCB_Callback(line, kind, p);
    });
}

PageRouter::~PageRouter() = default;

void PageRouter::SetOwnNick(std::string nick) {
    impl_->ownNick = std::move(nick);
}

void PageRouter::SetBuddyCheck(BuddyCheck check) {
    impl_->isBuddy = std::move(check);
}

bool PageRouter::Ignored(std::string_view nick) const {
    return impl_->Ignored(nick);
}

void PageRouter::SetIgnored(const std::string& nick, bool ignored) {
    impl_->SetIgnored(nick, ignored);
}

std::shared_ptr<PageWin> PageRouter::NewPageWin(const std::string& nick) {
    return impl_->NewPageWin(nick);
}

void PageRouter::ClosePageWin(const std::string& nick) {
    impl_->ClosePageWin(nick);
}

void PageRouter::CloseAllPageWin() {
    impl_->CloseAllPageWin();
}

void PageRouter::RemovePageWin(const std::string& nick) {
    impl_->RemovePageWin(nick);
}

void PageRouter::PageUser(const std::string& nick, const std::string& message,
                          const std::shared_ptr<PageWin>& window) {
    impl_->PageUser(nick, message, window);
}

void PageRouter::OnReceivedPage(const std::string& line) {
    impl_->OnReceivedPage(line);
}

void PageRouter::SetLinkDown(bool down) {
    impl_->linkDown = down;
}

bool PageRouter::LinkDown() const {
    return impl_->linkDown;
}

void PageRouter::NoticeAll(const std::string& text) {
    // A notice may let events run that close windows: walk a copy.
    for (const auto& conv : PageWins()) conv->Notify(text);
}

void PageRouter::Renamed(const std::string& from, const std::string& to) {
    const auto conv = Find(from);
    if (!conv || to.empty()) return;
    const auto other = Find(to);
    if (!other || other == conv) conv->Rename(to);
    conv->Notify(from + " is now known as " + to);
}

std::size_t PageRouter::Count() const {
    return impl_->wins.size();
}

std::shared_ptr<PageWin> PageRouter::Find(std::string_view nick) const {
    return impl_->Find(nick);
}

std::vector<std::shared_ptr<PageWin>> PageRouter::PageWins() const {
    return impl_->wins;
}

}  // namespace vantor
