// SPDX-License-Identifier: MIT
// vantor-server: the bundled local chat service.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <optional>
#include <random>

#include "account_store.h"
#include "chat_server.h"
#include "demo_cast.h"
#include "options.h"
#include "reactor.h"

namespace {

volatile std::sig_atomic_t gStop = 0;

void OnStopSignal(int) {
    gStop = 1;
}

// Every connection is a descriptor; the soft limit is often far below what 1,000 clients need.
void RaiseDescriptorLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

// Two servers writing one accounts file would undo each other's changes.
bool LockDataDir(const std::filesystem::path& dir) {
    int fd = ::open((dir / "accounts.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    return fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;  // held until the process ends
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vantor::server;
    Options options;
    std::string error;
    if (!ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::cerr << "vantor-server: " << error << "\n(try --help)\n";
        return 1;
    }
    if (options.help) {
        std::cout << UsageText();
        return 0;
    }
    if (options.dataDir.empty()) options.dataDir = DefaultDataDir();

    RaiseDescriptorLimit();
    std::signal(SIGPIPE, SIG_IGN);

    std::error_code ec;
    std::filesystem::create_directories(options.dataDir, ec);
    if (ec) {
        std::cerr << "vantor-server: cannot create " << options.dataDir << ": " << ec.message()
                  << "\n";
        return 2;
    }
    if (!LockDataDir(options.dataDir)) {
        std::cerr << "vantor-server: " << options.dataDir
                  << " is in use by another vantor-server\n";
        return 2;
    }
    AccountStore accounts(options.dataDir);
    if (!accounts.Load(error)) {
        std::cerr << "vantor-server: " << error << "\n";
        return 2;
    }

    Reactor::Limits limits;
    limits.maxOutput = options.sendQueueLimit;
    Reactor reactor(limits);
    if (!reactor.Listen(options.basePort, 3, error)) {
        std::cerr << "vantor-server: " << error << "\n";
        return 2;
    }

    // The stop signals are let through only while the loop waits, so none is missed between a
    // check of the flag and the wait.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigset_t waitMask;
    ::sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGINT);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);

    ChatServer server(reactor, accounts, options.pingInterval);
    std::optional<DemoCast> demo;
    if (options.demo) {
        demo.emplace(server, accounts, std::random_device{}());
        demo->Start(Clock::now());
    }

    // Account changes are written in batches: one file replacement for a burst of log-ons.
    constexpr auto kSaveDelay = std::chrono::milliseconds(250);
    constexpr auto kRetryDelay = std::chrono::seconds(5);
    std::optional<Clock::time_point> saveAt;
    auto save = [&] {
        std::string saveError;
        if (accounts.Save(saveError)) return true;
        std::cerr << "vantor-server: " << saveError << "\n";
        return false;
    };
    auto onWake = [&](Clock::time_point now) {
        server.Tick(now);
        Clock::time_point next = server.NextTick();
        if (demo) next = std::min(next, demo->Tick(now));
        if (accounts.Dirty()) {
            if (!saveAt) saveAt = now + kSaveDelay;
            if (now >= *saveAt) saveAt = save() ? std::nullopt : std::optional(now + kRetryDelay);
            if (saveAt) next = std::min(next, *saveAt);
        }
        return next;
    };

    std::cout << "vantor-server: listening on 127.0.0.1:" << options.basePort << "-"
              << options.basePort + 2 << (options.demo ? " with the demo users" : "")
              << ", data in " << options.dataDir.string() << std::endl;
    reactor.Run(server, onWake, gStop, waitMask);
    if (accounts.Dirty() && !save()) return 2;
    return 0;
}
