// SPDX-License-Identifier: MIT
#include "support/local_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <cerrno>
#include <chrono>
#include <random>
#include <thread>

#ifndef VANTOR_SERVER_BIN
#error "VANTOR_SERVER_BIN must name the vantor-server executable"
#endif

namespace vantor::test {
namespace {

constexpr int kLaunchAttempts = 20;
constexpr auto kStartTimeout = std::chrono::seconds(10);
constexpr auto kStopTimeout = std::chrono::seconds(5);

// Ports below the kernel's ephemeral range, so that no outgoing connection of the tests holds one.
int RandomBasePort() {
    static std::mt19937 rng{std::random_device{}()};
    return std::uniform_int_distribution<int>(12000, 31000)(rng);
}

}  // namespace

LocalServer::LocalServer(bool demo, std::vector<std::string> extraArgs)
    : demo_(demo), extraArgs_(std::move(extraArgs)) {
    Start();
}

LocalServer::~LocalServer() {
    Stop();
}

bool LocalServer::Ok() const {
    if (!ok_ || pid_ <= 0) return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return false;
    }
    return true;
}

bool LocalServer::Start() {
    if (pid_ > 0) return Ok();
    ok_ = false;
    for (int attempt = 0; attempt < kLaunchAttempts; ++attempt) {
        // A restart keeps its port when it can, so that clients set up before it still fit.
        int port = (attempt == 0 && basePort_ != 0) ? basePort_ : RandomBasePort();
        if (!Launch(port)) continue;
        if (WaitUntilListening()) {
            basePort_ = port;
            return ok_ = true;
        }
        Stop();
    }
    return false;
}

bool LocalServer::Launch(int basePort) {
    // Everything exec needs is built before fork: the child may only make async-signal-safe calls.
    std::vector<std::string> args{VANTOR_SERVER_BIN, "--base-port", std::to_string(basePort),
                                  "--data-dir", dataDir_.Path().string()};
    if (demo_) args.emplace_back("--demo");
    args.insert(args.end(), extraArgs_.begin(), extraArgs_.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) return false;
    pid_t parent = ::getpid();

    pid_t pid = ::fork();
    if (pid < 0) {
        ::close(ready[0]);
        ::close(ready[1]);
        return false;
    }
    if (pid == 0) {
#ifdef __linux__
        // A crashed test must not leave a server behind.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(127);
#endif
        int devNull = ::open("/dev/null", O_RDONLY);
        if (devNull >= 0) ::dup2(devNull, STDIN_FILENO);
        ::dup2(ready[1], STDOUT_FILENO);  // dup2 clears close-on-exec on the copy
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    (void)parent;
    ::close(ready[1]);
    pid_ = pid;
    readyFd_ = ready[0];
    return true;
}

// The server writes its "listening" line once all three ports listen; a server that cannot bind
// exits instead. Waiting for that line, rather than probing the port, never mistakes another
// test's server on the same port for ours.
bool LocalServer::WaitUntilListening() {
    auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    std::string said;
    bool listening = false;
    while (!listening && std::chrono::steady_clock::now() < deadline) {
        pollfd p{readyFd_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        char buf[512];
        ssize_t n = ::read(readyFd_, buf, sizeof buf);
        if (n <= 0) break;  // it exited: the port was taken
        said.append(buf, static_cast<std::size_t>(n));
        listening = said.find("listening") != std::string::npos;
    }
    ::close(readyFd_);
    readyFd_ = -1;
    return listening;
}

void LocalServer::Stop() {
    ok_ = false;
    if (readyFd_ >= 0) ::close(readyFd_);
    readyFd_ = -1;
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    auto deadline = std::chrono::steady_clock::now() + kStopTimeout;
    int status = 0;
    for (;;) {
        pid_t r = ::waitpid(pid_, &status, WNOHANG);
        if (r == pid_ || (r < 0 && errno != EINTR)) break;
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    pid_ = -1;
}

}  // namespace vantor::test
