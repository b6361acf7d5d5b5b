// SPDX-License-Identifier: MIT
#include "transport/wolcon2.h"

#include <chrono>
#include <utility>

#include "common/liveness.h"
#include "common/wire_text.h"
#include "diagnostics/debug_log.h"
#include "platform/socket_layer.h"
#include "settings/settings_source.h"
#include "transport/line_buffer.h"
#include "transport/reply_queue.h"

namespace vantor {
namespace {

constexpr std::string_view kPasswordNeeded = "(Password needed for that nickname.)";

// The server closes a refused link with "ERROR" and its reason as the fifth space-separated
// part, which runs to the end of the line.
ErrorCode ServerErrorCode(std::string_view line) {
    return WordAt(line, 4, 5) == kPasswordNeeded ? ErrorCode::PasswordNeeded : ErrorCode::Server;
}

// What a person reads as the reason: the fifth part without its parentheses, or, for a short
// line, the text after its first colon.
std::string ServerErrorReason(std::string_view line) {
    std::string_view reason = WordAt(line, 4, 5);
    if (reason.empty()) {
        const std::size_t colon = line.find(':');
        reason = colon == std::string_view::npos ? std::string_view{} : line.substr(colon + 1);
    } else if (reason.size() >= 2 && reason.front() == '(' && reason.back() == ')') {
        reason = reason.substr(1, reason.size() - 2);
    }
    return std::string(reason);
}

// A line break inside a command would split it into two commands on the wire.
std::string SingleLineCommand(std::string_view command) {
    std::string out(command);
    for (char& c : out) {
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    }
    return out;
}

}  // namespace

struct WOLCon2::Impl {
    SocketHandle handle = 0;
    LineBuffer buffer;
    Tag tag;
    std::string nick;
    ReplyQueue queue;
    InterceptTable intercepts;
    std::string readScratch;
    std::string lastErrorReason;
    bool connecting = false;  // a BeginConnect not yet finished
    std::chrono::steady_clock::time_point connectDeadline;
    std::string peer;  // "host:port" of the last connect, for the log
    // Every call-out (handlers, events, even the debug log, whose window pumps events) may
    // destroy this object, so each caller holds a watch and checks it after the call.
    Liveness alive;

    void Log(std::string_view text, int kind) const { DebugLog(tag, text, kind); }
};

WOLCon2::WOLCon2() : impl_(std::make_unique<Impl>()) {}

WOLCon2::~WOLCon2() {
    CloseSocket(impl_->handle);
}

void WOLCon2::RaiseError(ErrorCode code) {
    CallCopy(Error, code);
}

bool WOLCon2::OpenSocket() {
    const auto alive = impl_->alive.watch();
    impl_->queue.Clear();
    impl_->connecting = false;
    if (impl_->handle != 0) {
        Disconnect();
        if (!alive()) return false;
    }
    // Bytes of an unfinished line from the old link would otherwise be glued to the first line
    // of the new one.
    if (!impl_->buffer.Empty()) {
        std::string rest(impl_->buffer.View());
        impl_->buffer.Clear();
        impl_->Log(rest, kLogHandled);
        if (!alive()) return false;
    }

    SocketHandle handle = CreateSocket(kAfInet, kSockStream, 0);
    impl_->handle = handle;  // kept even when invalid: the next send then fails with 100
    if (handle == kInvalidSocket) {
        impl_->Log("Failed to create a socket.", kLogError);
        if (alive()) RaiseError(ErrorCode::SocketCreate);
        return false;
    }
    return true;
}

void WOLCon2::ConnectFailed() {
    const auto alive = impl_->alive.watch();
    impl_->connecting = false;
    impl_->Log("Socket Error - Could not connect to remote host.", kLogError);
    if (alive()) RaiseError(ErrorCode::ConnectFailed);
}

bool WOLCon2::connect(std::int32_t port) {
    if (!OpenSocket()) return false;
    const std::string host = Settings().Get(setting::kServerHost);
    impl_->peer = host + ":" + std::to_string(port);
    if (ConnectSocket(impl_->handle, host, port) == 0) {
        impl_->Log("Socket connected successfully to " + impl_->peer + ".", kLogNote);
        return true;
    }
    ConnectFailed();
    return false;
}

bool WOLCon2::connect(std::int32_t port, std::optional<std::uint32_t> address) {
    if (!OpenSocket()) return false;
    impl_->peer = Settings().Get(setting::kServerHost) + ":" + std::to_string(port);
    if (address && ConnectAddress(impl_->handle, *address, port) == 0) {
        impl_->Log("Socket connected successfully to " + impl_->peer + ".", kLogNote);
        return true;
    }
    ConnectFailed();
    return false;
}

bool WOLCon2::BeginConnect(std::int32_t port, std::optional<std::uint32_t> address) {
    if (!OpenSocket()) return false;
    impl_->peer = Settings().Get(setting::kServerHost) + ":" + std::to_string(port);
    const ConnectState state =
        address ? StartConnect(impl_->handle, *address, port) : ConnectState::Failed;
    if (state == ConnectState::Failed) {
        ConnectFailed();
        return false;
    }
    impl_->connecting = true;
    impl_->connectDeadline = std::chrono::steady_clock::now() + ConnectTimeout();
    return PollConnect() != ConnectProgress::Refused;
}

WOLCon2::ConnectProgress WOLCon2::PollConnect() {
    if (!impl_->connecting) return ConnectProgress::Connected;
    switch (CheckConnect(impl_->handle)) {
        case ConnectState::Connected:
            impl_->connecting = false;
            impl_->Log("Socket connected successfully to " + impl_->peer + ".", kLogNote);
            return ConnectProgress::Connected;
        case ConnectState::Pending:
            if (std::chrono::steady_clock::now() < impl_->connectDeadline)
                return ConnectProgress::Pending;
            // Closed before the error is raised: its handler may destroy this object.
            Disconnect();
            ConnectFailed();
            return ConnectProgress::TimedOut;
        case ConnectState::Failed:
            break;
    }
    Disconnect();
    ConnectFailed();
    return ConnectProgress::Refused;
}

void WOLCon2::Disconnect() {
    if (impl_->handle == 0) return;
    const auto alive = impl_->alive.watch();
    std::string line;
    // Empty lines are stepped over so that nothing complete is left to be routed afterwards.
    while (impl_->buffer.TakeLine(line)) {
        if (line.empty()) continue;
        impl_->Log(line, kLogHandled);
        if (!alive()) return;
    }
    CloseSocket(impl_->handle);
    impl_->handle = 0;
    impl_->connecting = false;
}

void WOLCon2::send(std::string_view command, ReplySpec reply) {
    const auto alive = impl_->alive.watch();
    std::string line = SingleLineCommand(command);
    const std::string logged = SentLogText ? SentLogText(line) : line;
    if (impl_->handle == 0) {
        impl_->Log("Socket is not connected, could not send command: \"" + logged + "\".",
                   kLogError);
        if (alive()) RaiseError(ErrorCode::NotConnected);
        return;
    }
    impl_->Log(logged, kLogSent);
    if (!alive()) return;
    line += "\r\n";
    if (SendText(impl_->handle, line) == -1) {
        impl_->Log("Error sending command.", kLogError);
        if (!alive()) return;
        RaiseError(ErrorCode::SendFailed);
        if (!alive()) return;
    }
    if (reply.callback) {
        impl_->queue.Append(SendInfo{std::move(reply.callback),
                                     std::move(reply.param),
                                     JoinCodes(reply.codes),
                                     std::string(reply.start),
                                     std::string(reply.end),
                                     false,
                                     logged,
                                     {}});
    }
}

PassResult WOLCon2::PopulateBuff() {
    if (!ExpireWaits()) return PassResult::Closed;
    // Handle 0 is "no socket", never a descriptor to poll; a connect under way is its owner's.
    if (impl_->handle == 0 || impl_->connecting) return PassResult::Idle;
    // Lines a handler left behind (it disconnected, or a nested pass read more) must not wait
    // for the server's next bytes.
    if (impl_->buffer.HasLine()) return RouteWaiting();
    PollResult poll = PollSocket(impl_->handle);
    if (poll.result < 0) return PassResult::Idle;
    if (!poll.readable) return poll.writable ? PassResult::Writable : PassResult::Idle;

    impl_->readScratch.clear();
    if (ReceiveText(impl_->handle, impl_->readScratch) < 1) {
        Disconnect();
        return PassResult::Closed;
    }
    return ProcessReceived(impl_->readScratch);
}

PassResult WOLCon2::ProcessReceived(std::string_view bytes) {
    const auto alive = impl_->alive.watch();
    if (!impl_->buffer.Append(bytes)) {
        impl_->Log("Dropped an unfinished received line longer than 1048576 bytes.", kLogError);
        if (!alive()) return PassResult::Closed;
    }
    return RouteWaiting();
}

PassResult WOLCon2::RouteWaiting() {
    const auto alive = impl_->alive.watch();
    // The line is copied out before it is routed: a handler may read, drain or clear the buffer.
    // Empty lines are stepped over, so nothing complete is left waiting for more data.
    std::string line;
    while (impl_->buffer.TakeLine(line)) {
        if (line.empty()) continue;
        RouteLine(line);
        if (!alive()) return PassResult::Closed;
    }
    return PassResult::Lines;
}

bool WOLCon2::ExpireWaits() {
    const auto alive = impl_->alive.watch();
    for (SendInfo& entry : impl_->queue.TakeExpired(kReplyWait)) {
        impl_->Log("No answer within " + std::to_string(kReplyWait.count()) +
                       " seconds; dropped the wait for \"" + entry.Command + "\".",
                   kLogNote);
        if (!alive()) return false;
        if (auto callback = entry.Callback.lock()) {
            callback->Raise(std::string(), Delivery::Expired, entry.Param);
            if (!alive()) return false;
        }
    }
    return true;
}

void WOLCon2::RouteLine(const std::string& line) {
    const auto alive = impl_->alive.watch();
    const std::string_view first = WordAt(line, 0);
    const std::string_view code = WordAt(line, 1);  // empty when the line has a single word

    if (!impl_->intercepts.Empty()) {
        if (std::optional<Match> m = impl_->intercepts.Offer(code)) {
            impl_->Log(line, kLogIntercepted);
            if (alive() && m->callback) m->callback->Raise(line, m->kind, m->param);
            return;
        }
    }
    if (first == wire::kPing) {
        impl_->Log(line, kLogHandled);
        if (alive()) send(std::string(wire::kPong) + " " + impl_->nick + " :");
        return;
    }
    if (code == wire::kPage) {
        impl_->Log(line, kLogHandled);
        if (!alive()) return;
        CallCopy(ReceivedPage, line);
        return;
    }
    if (first == wire::kError) {
        impl_->lastErrorReason = ServerErrorReason(line);
        impl_->Log(line, kLogHandled);
        if (alive()) RaiseError(ServerErrorCode(line));
        return;
    }
    // Lines without a second word cannot name a code; they end up here and stay unhandled.
    if (std::optional<Match> m = impl_->queue.Offer(code)) {
        impl_->Log(line, m->logKind);
        if (alive() && m->callback) m->callback->Raise(line, m->kind, m->param);
        return;
    }
    impl_->Log(line, kLogUnhandled);
}

std::string WOLCon2::Receive() {
    std::string line;
    impl_->buffer.TakeLine(line);
    return line;
}

InterceptRegistration WOLCon2::RegisterIntercept(std::string code,
                                                 std::shared_ptr<Callback> callback, Param param) {
    const std::uint64_t id =
        impl_->intercepts.Register(code, std::move(callback), std::move(param));
    return InterceptRegistration(
        [alive = impl_->alive.watch(), impl = impl_.get(), code = std::move(code), id] {
            if (alive()) impl->intercepts.Remove(code, id);
        });
}

void WOLCon2::RemoveIntercept(std::string_view code) {
    impl_->intercepts.Remove(code);
}

void WOLCon2::SetClock(std::function<std::chrono::steady_clock::time_point()> now) {
    impl_->queue.SetClock(std::move(now));
}

const std::string& WOLCon2::LastErrorReason() const {
    return impl_->lastErrorReason;
}

const Tag& WOLCon2::GetTag() const {
    return impl_->tag;
}
void WOLCon2::SetTag(Tag tag) {
    impl_->tag = std::move(tag);
}
void WOLCon2::SetNick(std::string nick) {
    impl_->nick = std::move(nick);
}
std::string_view WOLCon2::Buffer() const {
    return impl_->buffer.View();
}
bool WOLCon2::Connecting() const {
    return impl_->connecting;
}
bool WOLCon2::IsConnected() const {
    return impl_->handle != 0;
}

std::int32_t WOLCon2::Handle() const {
    return impl_->handle;
}

bool WOLCon2::KeepAlive(int idleSeconds, int intervalSeconds, int probes) {
    if (impl_->handle <= 0) return false;
    return SetKeepAlive(impl_->handle, idleSeconds, intervalSeconds, probes) == 0;
}

}  // namespace vantor
