// SPDX-License-Identifier: MIT
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_registry.h"

namespace vantor::test {

// Runs the bundled local service (vantor-server) as a child process on 127.0.0.1, on a free base
// port and the two after it, with a temporary data folder that outlives restarts.
class LocalServer {
public:
    explicit LocalServer(bool demo = false, std::vector<std::string> extraArgs = {});
    ~LocalServer();  // stops the server (SIGTERM, then SIGKILL) and waits for it
    LocalServer(const LocalServer&) = delete;
    LocalServer& operator=(const LocalServer&) = delete;

    // Running and listening on all three ports.
    bool Ok() const;
    int BasePort() const { return basePort_; }

    void Stop();
    // (Re)starts with the same data folder; keeps the previous base port when it is still free.
    bool Start();

    const std::filesystem::path& DataDir() const { return dataDir_.Path(); }

private:
    bool Launch(int basePort);
    bool WaitUntilListening();

    TempDir dataDir_;
    bool demo_;
    std::vector<std::string> extraArgs_;
    mutable pid_t pid_ = -1;
    int readyFd_ = -1;  // the server's standard output, until it says it listens
    int basePort_ = 0;
    bool ok_ = false;
};

}  // namespace vantor::test
