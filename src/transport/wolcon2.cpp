// SPDX-License-Identifier: MIT
#include "transport/wolcon2.h"

#include <utility>

#include "common/wire_text.h"
#include "diagnostics/debug_log.h"
#include "platform/socket_layer.h"
#include "settings/settings_source.h"
#include "transport/line_buffer.h"
#include "transport/reply_queue.h"

namespace vantor {
namespace {

// Complete lines waiting past this are routed before anything more is read: each empty line ends
// a pass, so a server that sends many would otherwise have each pass read more than it routes,
// and the buffer would grow for as long as it keeps sending.
constexpr std::size_t kMaxBacklog = std::size_t{1} << 20;

constexpr std::string_view kPasswordNeeded = "(Password needed for that nickname.)";

// The server closes a refused link with "ERROR" and its reason as the fifth space-separated
// part, which runs to the end of the line.
int ServerErrorCode(std::string_view line) {
    return WordAt(line, 4, 5) == kPasswordNeeded ? kErrPasswordNeeded : kErrServer;
}

// A line break inside a command would split it into two commands on the wire.
std::string OneLine(std::string_view command) {
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
    // Cleared by the destructor. Every call-out (handlers, events, even the debug log, whose
    // window pumps events) may destroy this object, so each caller holds a copy and checks it.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);

    void Log(std::string_view text, int kind) const { DebugLog(tag, text, kind); }
};

WOLCon2::WOLCon2() : impl_(std::make_unique<Impl>()) {}

WOLCon2::~WOLCon2() {
    *impl_->alive = false;
    CloseSocket(impl_->handle);
}

void WOLCon2::RaiseError(int code) {
    auto handler = Error;  // the handler may replace or destroy Error itself
    if (handler) handler(code);
}

bool WOLCon2::connect(std::int32_t port) {
    auto alive = impl_->alive;
    impl_->queue.Clear();
    if (impl_->handle != 0) {
        Disconnect();
        if (!*alive) return false;
    }
    // Bytes of an unfinished line from the old link would otherwise be glued to the first line
    // of the new one.
    if (!impl_->buffer.Empty()) {
        std::string rest(impl_->buffer.View());
        impl_->buffer.Clear();
        impl_->Log(rest, kLogHandled);
        if (!*alive) return false;
    }

    SocketHandle handle = CreateSocket(kAfInet, kSockStream, 0);
    impl_->handle = handle;  // kept even when invalid: the next send then fails with 100
    if (handle == kInvalidSocket) {
        impl_->Log("Failed to create a socket.", kLogError);
        if (*alive) RaiseError(kErrSocketCreate);
        return false;
    }
    std::string host = Settings().SettingString(setting::kServerHost);
    if (ConnectSocket(handle, host, port) == 0) {
        impl_->Log("Socket connected successfully to " + host + ":" + std::to_string(port) + ".",
                   kLogNote);
        return true;
    }
    impl_->Log("Socket Error - Could not connect to remote host.", kLogError);
    if (*alive) RaiseError(kErrConnectFailed);
    return false;
}

void WOLCon2::Disconnect() {
    if (impl_->handle == 0) return;
    auto alive = impl_->alive;
    std::string line;
    // Empty lines are stepped over so that nothing complete is left to be routed afterwards.
    while (impl_->buffer.TakeLine(line)) {
        if (line.empty()) continue;
        impl_->Log(line, kLogHandled);
        if (!*alive) return;
    }
    CloseSocket(impl_->handle);
    impl_->handle = 0;
}

void WOLCon2::send(std::string_view command, Param param, std::shared_ptr<Callback> callback,
                   std::string code, std::string cStart, std::string cEnd) {
    auto alive = impl_->alive;
    std::string line = OneLine(command);
    const std::string logged = SentLogText ? SentLogText(line) : line;
    if (impl_->handle == 0) {
        impl_->Log("Socket is not connected, could not send command: \"" + logged + "\".",
                   kLogError);
        if (*alive) RaiseError(kErrNotConnected);
        return;
    }
    impl_->Log(logged, kLogSent);
    if (!*alive) return;
    line += "\r\n";
    if (SendText(impl_->handle, line) == -1) {
        impl_->Log("Error sending command.", kLogError);
        if (!*alive) return;
        RaiseError(kErrSendFailed);
        if (!*alive) return;
    }
    if (callback) {
        impl_->queue.Append(SendInfo{std::move(callback), std::move(param), std::move(code),
                                     std::move(cStart), std::move(cEnd), false});
    }
}

int WOLCon2::PopulateBuff() {
    // Handle 0 is "no socket", never a descriptor to poll.
    if (impl_->handle == 0) return kPassIdle;
    if (impl_->buffer.View().size() > kMaxBacklog && impl_->buffer.HasLine()) {
        // Catching up: empty lines are stepped over until the backlog is back under its bound.
        auto alive = impl_->alive;
        std::string line;
        while (impl_->buffer.View().size() > kMaxBacklog && impl_->buffer.TakeLine(line)) {
            if (line.empty()) continue;
            RouteLine(line);
            if (!*alive) return kPassClosed;
        }
        return kPassLines;
    }
    PollResult poll = PollSocket(impl_->handle);
    if (poll.result < 0) return kPassIdle;
    if (!poll.readable) return poll.writable ? kPassWritable : kPassIdle;

    impl_->readScratch.clear();
    if (ReceiveText(impl_->handle, impl_->readScratch) < 1) {
        Disconnect();
        return kPassClosed;
    }
    return ProcessReceived(impl_->readScratch);
}

int WOLCon2::ProcessReceived(std::string_view bytes) {
    auto alive = impl_->alive;
    if (!impl_->buffer.Append(bytes)) {
        impl_->Log("Dropped an unfinished received line longer than 1048576 bytes.", kLogError);
        if (!*alive) return kPassClosed;
    }
    // The line is copied out before it is routed: a handler may read, drain or clear the buffer.
    // An empty line ends the pass; what follows it waits for the next pass that reads data.
    std::string line;
    while (impl_->buffer.TakeLine(line) && !line.empty()) {
        RouteLine(line);
        if (!*alive) return kPassClosed;
    }
    return kPassLines;
}

void WOLCon2::RouteLine(const std::string& line) {
    auto alive = impl_->alive;
    const std::string_view first = WordAt(line, 0);
    const std::string_view code = WordAt(line, 1);  // empty when the line has a single word

    if (!impl_->intercepts.Empty()) {
        if (std::optional<Match> m = impl_->intercepts.Offer(code)) {
            impl_->Log(line, kLogIntercepted);
            if (*alive && m->callback) m->callback->Raise(line, m->kind, m->param);
            return;
        }
    }
    if (first == "PING") {
        impl_->Log(line, kLogHandled);
        if (*alive) send("PONG " + impl_->nick + " :");
        return;
    }
    if (code == "PAGE") {
        impl_->Log(line, kLogHandled);
        if (!*alive) return;
        auto handler = ReceivedPage;
        if (handler) handler(line);
        return;
    }
    if (first == "ERROR") {
        impl_->Log(line, kLogHandled);
        if (*alive) RaiseError(ServerErrorCode(line));
        return;
    }
    // Lines without a second word cannot name a code; they end up here and stay unhandled.
    if (std::optional<Match> m = impl_->queue.Offer(code)) {
        impl_->Log(line, m->logKind);
        if (*alive && m->callback) m->callback->Raise(line, m->kind, m->param);
        return;
    }
    impl_->Log(line, kLogUnhandled);
}

std::string WOLCon2::Receive() {
    std::string line;
    impl_->buffer.TakeLine(line);
    return line;
}

void WOLCon2::RegisterIntercept(std::string code, std::shared_ptr<Callback> callback, Param param) {
    impl_->intercepts.Register(std::move(code), std::move(callback), std::move(param));
}

void WOLCon2::RemoveIntercept(std::string_view code) {
    impl_->intercepts.Remove(code);
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
