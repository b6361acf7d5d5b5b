// SPDX-License-Identifier: MIT
#include "diagnostics/debug_log.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "common/cp1252.h"
#include "common/liveness.h"
#include "platform/private_file.h"
#include "settings/settings_store.h"

namespace vantor {

namespace debug_detail {
bool g_dumpToFile = false;
DebugWindow* g_debugForm = nullptr;
}  // namespace debug_detail

namespace {

using debug_detail::g_debugForm;
using debug_detail::g_dumpToFile;

// Owns the debug window. A window still alive when static objects are destroyed is released
// without deleting it: its toolkit has already gone by then.
struct WindowSlot {
    std::unique_ptr<DebugWindow> window;
    // Windows shut down while one of their appends was still running (event handlers run inside
    // an append); they are destroyed when the outermost append returns.
    std::vector<std::unique_ptr<DebugWindow>> retired;
    ~WindowSlot() {
        (void)window.release();
        for (auto& w : retired) (void)w.release();
    }
};

constexpr const char* kDumpFile = "DebugDump.txt";

std::function<std::unique_ptr<DebugWindow>()> g_factory;
std::function<void(const std::string&)> g_failureNotice;
std::vector<std::string> g_untold;  // failures told before anyone listened
std::FILE* g_dumpFile = nullptr;
WindowSlot g_slot;
int g_appendDepth = 0;

void WriteLine(const std::string& line) {
    if (g_dumpFile == nullptr) return;
    // A lost line is ignored; flushing keeps the file useful after a crash.
    std::fwrite(line.data(), 1, line.size(), g_dumpFile);
    std::fflush(g_dumpFile);
}

struct AppendScope {
    AppendScope() { ++g_appendDepth; }
    ~AppendScope() {
        if (--g_appendDepth == 0) g_slot.retired.clear();
    }
    AppendScope(const AppendScope&) = delete;
    AppendScope& operator=(const AppendScope&) = delete;
};

}  // namespace

void SetDebugWindowFactory(std::function<std::unique_ptr<DebugWindow>()> factory) {
    g_factory = std::move(factory);
}

void InitDebug() {
    // A second start (tests, or a restart of the log) begins from closed sinks.
    ShutDownDebug();
    std::string unopened;
    try {
        if (GetSettingLong(setting::kDumptoFile) != 0) {
            // It holds every page and lobby line: nobody else may read it.
            std::string why;
            g_dumpFile = OpenPrivateAppend(kDumpFile, &why);
            g_dumpToFile = g_dumpFile != nullptr;
            if (!g_dumpFile && GetSettingLong(setting::kStatusReasons) != 0) {
                std::error_code ec;
                const std::filesystem::path where = std::filesystem::absolute(kDumpFile, ec);
                unopened = "The debug dump " + (ec ? std::string(kDumpFile) : where.string()) +
                           " cannot be opened: " + why + ".";
            }
        }
        if (GetSettingLong(setting::kShowDebugWin) == 1 && g_factory) {
            g_slot.window = g_factory();
            g_debugForm = g_slot.window.get();
        }
    } catch (...) {
        // The log is optional: whatever failed stays off.
    }
    if (!unopened.empty()) TellLogFailure(unopened);
}

void SetLogFailureNotice(std::function<void(const std::string& message)> notice) {
    g_failureNotice = std::move(notice);
    std::vector<std::string> untold = std::exchange(g_untold, {});
    if (!g_failureNotice) return;
    for (const std::string& message : untold) CallCopy(g_failureNotice, message);
}

void TellLogFailure(const std::string& message) {
    try {
        DebugLog(Tag{}, Utf8ToCp1252(message), kLogError);
        if (g_failureNotice) {
            CallCopy(g_failureNotice, message);
        } else {
            g_untold.push_back(message);
        }
    } catch (...) {
        // Telling never disturbs its caller.
    }
}

void ShowDebugWindow() {
    if (g_debugForm == nullptr) return;
    try {
        g_debugForm->ShowWindow();
    } catch (...) {
    }
}

void ShutDownDebug() {
    if (g_dumpFile != nullptr) {
        std::fclose(g_dumpFile);
        g_dumpFile = nullptr;
    }
    g_dumpToFile = false;
    if (g_debugForm == nullptr) return;
    g_debugForm = nullptr;
    std::unique_ptr<DebugWindow> window = std::move(g_slot.window);
    try {
        window->ShutDown();
        if (g_appendDepth > 0) {
            g_slot.retired.push_back(std::move(window));
            return;
        }
    } catch (...) {
    }
    window.reset();
}

namespace debug_detail {

void Write(const Tag& tag, std::string_view message, int kind) {
    try {
        if (g_dumpFile != nullptr) {
            std::string line;
            if (kind == kLogNote || kind == kLogError) {
                line.reserve(message.size() + 2);
            } else {
                line = kind == kLogSent ? "QORVANE#" : "WESTIRC#";
                line += TagText(tag);
                line += '-';
            }
            line += message;
            line += "\r\n";
            WriteLine(line);
        }
        if (g_debugForm != nullptr) {
            AppendScope scope;
            g_debugForm->AddDebug(tag, message, kind);
        }
    } catch (...) {
        // Logging never disturbs its caller.
    }
}

}  // namespace debug_detail

}  // namespace vantor
