// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string_view>

// The socket calls of the test peers, one file per system. Sockets are kept as int, -1 for none.
namespace vantor::test::loopback {

int Listen(int backlog, int* port);    // bound to 127.0.0.1 on a free port, *port set; or -1
int Accept(int listener, int waitMs);  // -1 when nobody connected in time
bool Readable(int fd, int waitMs);
long Receive(int fd, char* buf, std::size_t size);  // 0 once the other side closed, < 0 on error
void SendAll(int fd, std::string_view bytes);
void Close(int fd);

}  // namespace vantor::test::loopback
