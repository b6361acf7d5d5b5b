// SPDX-License-Identifier: MIT
#include "options.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace vantor::server {
namespace {

template <typename T>
bool ParseNumber(const std::string& text, T& value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string text;
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--demo") {
            options.demo = true;
        } else if (arg == "--base-port") {
            if (!value(text)) return false;
            int port = 0;
            if (!ParseNumber(text, port) || port < 1 || port > 65533) {
                error = "--base-port takes a port from 1 to 65533, not \"" + text + "\"";
                return false;
            }
            options.basePort = port;
        } else if (arg == "--data-dir") {
            if (!value(text)) return false;
            if (text.empty()) {
                error = "--data-dir needs a folder";
                return false;
            }
            options.dataDir = text;
        } else if (arg == "--ping-interval") {
            if (!value(text)) return false;
            double seconds = 0;
            if (!ParseNumber(text, seconds) || !std::isfinite(seconds) || seconds < 0.05 ||
                seconds > 86400) {
                error = "--ping-interval takes seconds from 0.05 to 86400, not \"" + text + "\"";
                return false;
            }
            options.pingInterval = std::chrono::milliseconds(std::llround(seconds * 1000));
        } else if (arg == "--send-queue-limit") {
            if (!value(text)) return false;
            std::size_t bytes = 0;
            if (!ParseNumber(text, bytes) || bytes < 1024) {
                error =
                    "--send-queue-limit takes a byte count of at least 1024, not \"" + text + "\"";
                return false;
            }
            options.sendQueueLimit = bytes;
        } else {
            error = "unknown option \"" + arg + "\"";
            return false;
        }
    }
    return true;
}

std::filesystem::path DefaultDataDir() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && *xdg == '/') return std::filesystem::path(xdg) / "vantor-server";
    const char* home = std::getenv("HOME");
    std::filesystem::path base = (home != nullptr && *home != '\0') ? home : ".";
    return base / ".local" / "share" / "vantor-server";
}

std::string UsageText() {
    return "Usage: vantor-server [options]\n"
           "The bundled local chat service for Vantor Desktop. Listens on 127.0.0.1 at the base\n"
           "port and the two ports after it (the three servers).\n"
           "\n"
           "  --base-port N            first port (default 7000)\n"
           "  --data-dir DIR           where accounts and buddy lists are kept\n"
           "                           (default $XDG_DATA_HOME/vantor-server,\n"
           "                           i.e. ~/.local/share/vantor-server)\n"
           "  --demo                   add the demo accounts and the scripted users\n"
           "  --ping-interval SECONDS  idle time before a PING, and the time allowed to answer\n"
           "                           it before the connection is dropped (default 90)\n"
           "  --send-queue-limit BYTES output a client may fall behind by before it is dropped\n"
           "                           (default 4194304)\n"
           "  --help                   show this text\n"
           "\n"
           "Exits with 0 on SIGTERM or SIGINT, 1 on bad options, 2 when a port or the data\n"
           "folder cannot be used.\n";
}

}  // namespace vantor::server
