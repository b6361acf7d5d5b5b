// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

// A socket as the transport stores it: 0 means "no socket", kInvalidSocket a failed creation.
using SocketHandle = std::int32_t;
inline constexpr SocketHandle kInvalidSocket = -1;  // all bits set

inline constexpr int kAfInet = 2;           // IPv4
inline constexpr int kSockStream = 1;       // stream socket
inline constexpr int kMaxReceive = 102400;  // bytes taken by one ReceiveText

// Thin free functions over the operating system's sockets. Failures are return values only:
// nothing here logs or raises. Nothing waits for the network except ConnectSocket.

// Start-up of the socket library: 0 on success, otherwise the library's error code.
int SocketStartup(std::uint16_t version);

// A new socket, or kInvalidSocket. Never returns 0, so 0 can keep meaning "no socket".
SocketHandle CreateSocket(int family, int type, int protocol);

// IPv4 address in network byte order: a dotted address as it stands, otherwise the first IPv4
// address of a name look-up; nothing when neither works.
std::optional<std::uint32_t> ResolveHost(std::string_view host);

// 0 once connected, -1 otherwise. Fails at once for a handle below 1, an empty host, a port
// outside 1..65535 or a host that does not resolve; gives up after ConnectTimeout().
int ConnectSocket(SocketHandle socket, std::string_view host, std::int32_t port);

// The same with an address already looked up (network byte order): no name look-up.
int ConnectAddress(SocketHandle socket, std::uint32_t address, std::int32_t port);

// Why the last ConnectSocket or ConnectAddress of this thread failed, for a message in words.
enum class ConnectFailure { None, Refused, TimedOut, Unreachable, NoHost, Other };
ConnectFailure LastConnectFailure();
void SetLastConnectFailure(ConnectFailure failure);  // by the platform's connect

// A connect that does not wait: started, then checked with zero-timeout polls. Failed covers a
// refusal and every other error; the caller keeps its own time-out.
enum class ConnectState { Connected, Pending, Failed };
ConnectState StartConnect(SocketHandle socket, std::uint32_t address, std::int32_t port);
ConnectState CheckConnect(SocketHandle socket);

// A name look-up on a thread of its own, so a slow resolver never holds up the caller. A dotted
// address is ready at once. Dropping the look-up abandons it; the thread ends by itself.
class HostLookup {
public:
    explicit HostLookup(std::string host);
    ~HostLookup();
    HostLookup(const HostLookup&) = delete;
    HostLookup& operator=(const HostLookup&) = delete;

    bool Ready() const;
    // The address once Ready(); nothing when the name did not resolve.
    std::optional<std::uint32_t> Address() const;

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

// Zero-timeout polls of one socket.
bool IsWritable(SocketHandle socket);
bool IsReadable(SocketHandle socket);

struct PollResult {
    int result = 0;  // -1 poll failed, 0 nothing ready, otherwise something is ready
    bool readable = false;
    bool writable = false;
};
// One zero-timeout poll for reading, writing and errors at once.
PollResult PollSocket(SocketHandle socket);

// Bytes sent in one call, or -1 when the socket is not writable, the text is empty or the send
// fails. A send never raises SIGPIPE.
int SendText(SocketHandle socket, std::string_view text);

// One read of up to kMaxReceive bytes appended to `text`: -1 when not readable or on error,
// 0 when the peer closed, otherwise the number of bytes read.
int ReceiveText(SocketHandle socket, std::string& text);

// A port as a signed 16-bit value (above 32767 wraps negative); nothing outside 0..65535.
std::optional<std::int16_t> PortToShort(std::int32_t value);

void CloseSocket(SocketHandle socket);

// TCP keep-alive probes, so a link that dies without a close is noticed: the first probe after
// idleSeconds without traffic, then one every intervalSeconds, given up after `probes` unanswered.
// 0 on success, -1 when the socket or the system refuses.
int SetKeepAlive(SocketHandle socket, int idleSeconds, int intervalSeconds, int probes);

// How long ConnectSocket waits for the peer; 5 seconds unless a test shortens it.
std::chrono::milliseconds ConnectTimeout();
void SetConnectTimeout(std::chrono::milliseconds timeout);

// Process-wide counts of name look-ups and of connect attempts that reached the network stack,
// so tests can see that a dotted address or an unknown host needed neither.
struct SocketCounters {
    std::uint64_t lookups = 0;
    std::uint64_t connects = 0;
};
SocketCounters GetSocketCounters();

}  // namespace vantor
