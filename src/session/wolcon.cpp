// SPDX-License-Identifier: MIT
#include "session/wolcon.h"

#include <utility>
#include <vector>

#include "common/liveness.h"
#include "common/wire_text.h"
#include "session/encoding.h"
#include "session/log_redact.h"
#include "settings/settings_source.h"
#include "transport/wolcon2.h"

namespace vantor {

struct WOLCon::Impl {
    explicit Impl(WOLCon& session) : owner(session) {}

    WOLCon& owner;  // owns this state: both go together
    Tag tag;
    std::string nick;
    std::string motd;
    // The text keeps every log-on's lines, but the news shown is this log-on's: the first
    // log-on's news would otherwise come back at every later one.
    std::size_t motdStart = 0;
    MotdPresenter presenter;
    std::unique_ptr<WOLCon2> iface = std::make_unique<WOLCon2>();
    std::shared_ptr<Callback> logOnCB = std::make_shared<Callback>();
    std::shared_ptr<Callback> buddyCB = std::make_shared<Callback>();
    std::unique_ptr<PageRouter> pages;
    int passes = 0;  // receive passes under way
    // A handler may destroy the session: nothing of it is touched after a call-out that did.
    Liveness alive;

    void RaiseError(ErrorCode code) { CallCopy(owner.Error, code); }
    void RaiseLogOnResult(vantor::LogOnResult result) { CallCopy(owner.LogOnResult, result); }
    void RaiseBuddyListResult(const std::string& list, int result) {
        CallCopy(owner.BuddyListResult, list, result);
    }

    void OnLogOnReply(const std::string& line, Delivery kind, const Param& param) {
        switch (kind) {
            case Delivery::Answer: {
                // A "372" before "375" also lands here; it ends the wait without a result.
                const std::string_view code = WordAt(line, 1);
                if (code == reply::kNicknameInUse)
                    RaiseLogOnResult(vantor::LogOnResult::NicknameInUse);
                else if (code == reply::kNoNickname)
                    RaiseLogOnResult(vantor::LogOnResult::NoNickname);
                break;
            }
            case Delivery::Data: {
                // A line without a text part still counts as a (blank) line of the message.
                motd += WordAt(line, 4, 5);
                motd += "\r\n";
                break;
            }
            case Delivery::End: {
                const bool* show = std::any_cast<bool>(&param);
                if (show != nullptr && *show && presenter) {
                    const auto stillHere = alive.watch();
                    CallCopy(presenter, MotdNews(motd.substr(motdStart)));
                    if (!stillHere()) return;
                }
                RaiseLogOnResult(vantor::LogOnResult::LoggedOn);
                break;
            }
            default:
                break;
        }
    }

    void OnBuddyReply(const std::string& line, Delivery kind) {
        if (kind != Delivery::Answer) return;
        RaiseBuddyListResult(std::string(WordAt(line, 3)), 0);
    }
};

WOLCon::WOLCon() : impl_(std::make_unique<Impl>(*this)) {
    // The handlers run only from the transport, which goes with the state: they never outlive it.
    Impl* self = impl_.get();
    impl_->iface->Error = [self](ErrorCode code) { self->RaiseError(code); };
    impl_->iface->ReceivedPage = [self](const std::string& line) {
        if (self->pages) self->pages->OnReceivedPage(line);
    };
    // The log keeps no password, not even encoded: it logs on as well as the password itself.
    impl_->iface->SentLogText = RedactForLog;
    impl_->logOnCB->SetHandler([self](const std::string& line, Delivery kind, const Param& param) {
        self->OnLogOnReply(line, kind, param);
    });
    impl_->buddyCB->SetHandler([self](const std::string& line, Delivery kind, const Param&) {
        self->OnBuddyReply(line, kind);
    });
    impl_->pages = std::make_unique<PageRouter>([self](std::string_view command, ReplySpec reply) {
        self->iface->send(command, std::move(reply));
    });
}

WOLCon::~WOLCon() = default;

bool WOLCon::connect(std::int32_t port) {
    return impl_->iface->connect(port);
}

bool WOLCon::connect(std::int32_t port, std::optional<std::uint32_t> address) {
    return impl_->iface->connect(port, address);
}

void WOLCon::LogOn(const WolInfo& credentials, bool showMotd) {
    // An Error handler may drop the session between two lines.
    Impl* self = impl_.get();
    const auto alive = self->alive.watch();
    WOLCon2& transport = *self->iface;
    self->nick = credentials.NickName;
    self->motdStart = self->motd.size();
    transport.SetNick(self->nick);
    if (self->pages) self->pages->SetOwnNick(self->nick);

    const std::string host = Settings().Get(setting::kServerHost);
    const std::string lines[] = {
        "CVERS 11020 3072",
        "PASS quietharbor",
        "NICK " + self->nick,
        "apgar " + EncFunct(credentials.Password) + " 0",
    };
    // Each line goes out even if an earlier one failed; only a session dropped by an Error
    // handler stops the sequence.
    for (const auto& line : lines) {
        transport.send(line);
        if (!alive()) return;
    }
    transport.send("USER UserName HostName " + host + " :RealName",
                   {.callback = self->logOnCB,
                    .param = Param(showMotd),
                    .codes = {reply::kNicknameInUse, reply::kNoNickname, reply::kMotdLine},
                    .start = reply::kMotdStart,
                    .end = reply::kMotdEnd});
}

void WOLCon::Quit() {
    const auto alive = impl_->alive.watch();
    impl_->iface->send(command::kQuit);
    // A session dropped by an Error handler closed its socket as it went.
    if (!alive()) return;
    impl_->iface->Disconnect();
}

void WOLCon::GetBuddies() {
    impl_->iface->send(command::kGetBuddy,
                       {.callback = impl_->buddyCB, .codes = {reply::kBuddyList}});
}

void WOLCon::send(std::string_view command, ReplySpec reply) {
    impl_->iface->send(command, std::move(reply));
}

InterceptRegistration WOLCon::RegisterIntercept(std::string code,
                                                std::shared_ptr<Callback> callback, Param param) {
    return impl_->iface->RegisterIntercept(std::move(code), std::move(callback), std::move(param));
}

void WOLCon::RemoveIntercept(std::string_view code) {
    impl_->iface->RemoveIntercept(code);
}

PassResult WOLCon::PopulateBuff() {
    // Nothing else is held across the pass: a session destroyed by a handler takes its transport
    // with it, and the transport then ends the pass instead of routing lines for nobody.
    struct Mark {
        Impl* impl;
        Liveness::Watch alive;
        explicit Mark(Impl* i) : impl(i), alive(i->alive.watch()) { ++impl->passes; }
        ~Mark() {
            if (alive()) --impl->passes;
        }
        Mark(const Mark&) = delete;
        Mark& operator=(const Mark&) = delete;
    };
    const Mark mark(impl_.get());
    return impl_->iface->PopulateBuff();
}

bool WOLCon::InPass() const {
    return impl_->passes > 0;
}

const Tag& WOLCon::GetTag() const {
    return impl_->tag;
}

void WOLCon::SetTag(Tag tag) {
    impl_->tag = tag;
    impl_->iface->SetTag(std::move(tag));
}

const std::string& WOLCon::NickName() const {
    return impl_->nick;
}

const std::string& WOLCon::MotdText() const {
    return impl_->motd;
}

void WOLCon::SetMotdPresenter(MotdPresenter presenter) {
    impl_->presenter = std::move(presenter);
}

PageRouter& WOLCon::Pages() {
    return *impl_->pages;
}

std::shared_ptr<PageWin> WOLCon::NewPageWin(const std::string& nick) {
    return impl_->pages->NewPageWin(nick);
}

void WOLCon::ClosePageWin(const std::string& nick) {
    impl_->pages->ClosePageWin(nick);
}

void WOLCon::CloseAllPageWin() {
    impl_->pages->CloseAllPageWin();
}

void WOLCon::RemovePageWin(const std::string& nick) {
    impl_->pages->RemovePageWin(nick);
}

void WOLCon::PageUser(const std::string& nick, const std::string& message,
                      const std::shared_ptr<PageWin>& window) {
    impl_->pages->PageUser(nick, message, window);
}

WOLCon2& WOLCon::Interface() {
    return *impl_->iface;
}

std::string MotdNews(const std::string& motdText) {
    if (motdText.empty()) return {};
    // Positions count from 1 here, as the markers always were counted.
    static constexpr std::string_view kOpen = "<news>";
    static constexpr std::string_view kClose = "</news>";
    using Pos = long long;
    const std::size_t open = motdText.find(kOpen);
    const std::size_t close = motdText.find(kClose);
    const Pos start = open == std::string::npos ? 1 : static_cast<Pos>(open + kOpen.size()) + 1;
    const Pos end = close == std::string::npos ? static_cast<Pos>(motdText.size())
                                               : static_cast<Pos>(close) + 1;
    // A closing marker that stands before the end of the opening one leaves nothing to show.
    if (end - start <= 0) return {};
    return motdText.substr(static_cast<std::size_t>(start - 1),
                           static_cast<std::size_t>(end - start));
}

}  // namespace vantor
