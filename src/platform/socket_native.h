// SPDX-License-Identifier: MIT
// Inside the socket layer only: the system's socket headers, and what the shared part
// (socket_layer.cpp) needs from the file of each system.
#pragma once

#ifdef _WIN32
// winsock2.h must come first: the others use its types.
#include <winsock2.h>

#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

namespace vantor::native {

// Winsock must be started before its first use; BSD sockets need nothing.
void EnsureStarted();

// The counts GetSocketCounters reports.
void CountLookup();
void CountConnect();

}  // namespace vantor::native
