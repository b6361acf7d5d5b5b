// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/tag.h"
#include "transport/callback.h"
#include "transport/reply_spec.h"

namespace vantor {

// Error codes of the connection, raised through WOLCon2::Error and passed on by the session.
// The numbers are the ones users and the debug log see.
enum class ErrorCode : int {
    Server = 0,           // server ERROR line with any other reason
    PasswordNeeded = 2,   // "(Password needed for that nickname.)"
    SendFailed = 100,     // the socket layer failed to send a command
    NotConnected = 101,   // send without a socket
    SocketCreate = 500,   // socket creation failed
    ConnectFailed = 501,  // connect to the server failed
};
constexpr int Number(ErrorCode code) {
    return static_cast<int>(code);
}

// Results of one receive pass.
enum class PassResult : int {
    Idle = 0,      // nothing readable (and not writable), or select failed
    Lines = 1,     // data was read and its complete lines routed
    Closed = 2,    // the peer closed the connection (or the read failed); now disconnected
    Writable = 3,  // nothing to read, socket writable
};

// Command words the transport handles itself, ahead of the reply queue.
namespace wire {
inline constexpr std::string_view kPing = "PING";
inline constexpr std::string_view kPong = "PONG";
inline constexpr std::string_view kPage = "PAGE";
inline constexpr std::string_view kError = "ERROR";
}  // namespace wire

// The one TCP connection to the chat server: socket, receive buffer, reply queue and intercept
// table. Every handler it calls may re-enter it (send, register, remove, disconnect, connect) or
// destroy it; a pass never crashes, skips or repeats a line because of that.
class WOLCon2 {
public:
    WOLCon2();
    ~WOLCon2();
    WOLCon2(const WOLCon2&) = delete;
    WOLCon2& operator=(const WOLCon2&) = delete;

    // Connects to the host of the "ServerHost" setting at the given port, waiting for it.
    bool connect(std::int32_t port);
    // The same with the host's address already looked up; nothing fails like an unknown host.
    bool connect(std::int32_t port, std::optional<std::uint32_t> address);

    // A connect that does not wait: started here, finished by PollConnect. False (with the error
    // raised) when it failed at once. Until it finishes a receive pass reads nothing.
    bool BeginConnect(std::int32_t port, std::optional<std::uint32_t> address);
    enum class ConnectProgress { Connected, Pending, Refused, TimedOut };
    // Connected also for a link that is up (or none started); a failure closes the socket and
    // raises the error. TimedOut once ConnectTimeout() has passed since BeginConnect.
    ConnectProgress PollConnect();
    bool Connecting() const;  // a BeginConnect is not finished yet
    void Disconnect();

    // Sends one command line (CR LF appended). With a callback, queues its reply.
    void send(std::string_view command, ReplySpec reply = {});

    // How long a queued command waits for (the next line of) its answer before it is dropped
    // and its callback hears Delivery::Expired.
    static constexpr std::chrono::seconds kReplyWait{60};

    // One receive pass. Complete lines left in the buffer are routed before
    // anything more is read. Expired queue entries are dropped first. Each line is routed to the
    // first taker: an intercept, PING, PAGE, ERROR, then the reply queue. A handler that calls
    // Disconnect or connect ends the pass: Disconnect logs the complete lines still buffered (as
    // handled) instead of routing them, and connect also logs and drops an unfinished line of the
    // old link, so nothing of it is glued to the new one. A handler that destroys this object ends
    // the pass with Closed. A nested pass (a modal loop inside a handler) goes on where this
    // one stands.
    PassResult PopulateBuff();
    std::string Receive();  // next complete line out of the buffer, or ""

    // The routing half of a receive pass over bytes as if just read from the socket; for tests
    // and the fuzzer, which feed bytes without a peer. Returns Lines, or Closed when a handler
    // destroyed this object.
    PassResult ProcessReceived(std::string_view bytes);

    // Where queue waits take the time from; tests turn it by hand.
    void SetClock(std::function<std::chrono::steady_clock::time_point()> now);

    // The reason of the last "ERROR" line ("Killed by admin"), "" before any; the Error event
    // carries only the code.
    const std::string& LastErrorReason() const;

    // A code registered twice keeps its place and takes the newer callback and Param. The
    // intercept stays until the registration goes, or until RemoveIntercept of its code.
    [[nodiscard]] InterceptRegistration RegisterIntercept(std::string code,
                                                          std::shared_ptr<Callback> callback,
                                                          Param param = {});
    void RemoveIntercept(std::string_view code);

    const Tag& GetTag() const;
    void SetTag(Tag tag);
    void SetNick(std::string nick);
    std::string_view Buffer() const;  // received text not yet taken out as lines
    bool IsConnected() const;         // a socket handle is stored (possibly of a failed connect)
    std::int32_t Handle() const;      // the socket layer's handle; 0 without a socket

    // Turns on TCP keep-alive for the current socket (see SetKeepAlive of the socket layer);
    // false without a connected socket or when the system refuses.
    bool KeepAlive(int idleSeconds, int intervalSeconds, int probes);

    // Events; set by the owner.
    std::function<void(const std::string& line)> ReceivedPage;
    std::function<void(ErrorCode code)> Error;

    // How a sent command reads in the debug log (unset: as sent). The session hides the log-on
    // password here; the wire always carries the real command. A pure text function: it must
    // not call back into this connection.
    std::function<std::string(std::string_view command)> SentLogText;

private:
    bool OpenSocket();
    void ConnectFailed();
    void RouteLine(const std::string& line);
    PassResult RouteWaiting();
    bool ExpireWaits();
    void RaiseError(ErrorCode code);

    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vantor
