// SPDX-License-Identifier: MIT
// Arbitrary server bytes, cut into arbitrary reads, through the receive pass of a transport with
// intercepts and queued replies whose handlers re-enter it in every way a window or session may:
// send, register, remove, disconnect, reconnect, run a nested pass, drop their owner, destroy it.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "settings/settings_source.h"
#include "transport/line_buffer.h"
#include "transport/wolcon2.h"

namespace {

using namespace vantor;

// Keeps the fuzzer away from the real settings file.
class FixedSettings final : public SettingsSource {
public:
    std::string SettingString(std::string_view, std::string_view def) override {
        return std::string(def);
    }
    std::int32_t SettingLong(std::string_view, std::int32_t def) override { return def; }
};

const std::array<const char*, 10> kCodes = {"PRIVMSG", "JOIN", "375", "372", "376",
                                            "333",     "398",  "433", "X",   ""};

void Check(bool ok) {
    if (!ok) std::abort();
}

struct Run {
    explicit Run(FuzzedDataProvider& input) : in(input) {}

    FuzzedDataProvider& in;
    std::unique_ptr<WOLCon2> con = std::make_unique<WOLCon2>();
    std::vector<std::shared_ptr<Callback>> owned;  // the consumers, as windows would own them
    std::vector<InterceptRegistration> held;
    int depth = 0;

    std::string_view Code() {
        return kCodes[in.ConsumeIntegralInRange<std::size_t>(0, kCodes.size() - 1)];
    }

    std::shared_ptr<Callback> NewConsumer() {
        auto cb = MakeCallback([this](const std::string& line, Delivery kind, const Param& p) {
            OnLine(line, kind, p);
        });
        owned.push_back(cb);
        return cb;
    }

    void Queue() {
        con->send("CMD", {.callback = NewConsumer(),
                          .param = static_cast<int>(in.ConsumeIntegral<std::uint8_t>()),
                          .codes = {Code(), Code()},
                          .start = Code(),
                          .end = Code()});
    }

    void OnLine(const std::string& line, Delivery kind, const Param& param) {
        Check(line.find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
        Check(line.empty() == (kind == Delivery::Expired));
        Check(static_cast<int>(kind) >= 0 && static_cast<int>(kind) <= 5);
        Check(!param.has_value() || std::any_cast<int>(&param) != nullptr);
        if (!con || in.remaining_bytes() == 0) return;
        switch (in.ConsumeIntegralInRange<int>(0, 11)) {
            case 0:
                Queue();
                break;
            case 1:
                held.push_back(con->RegisterIntercept(std::string(Code()), NewConsumer(), 1));
                break;
            case 2:
                con->RemoveIntercept(Code());
                break;
            case 3:
                con->Disconnect();
                break;
            case 4:
                con->connect(0);
                break;
            case 5:
                if (depth < 3) {
                    ++depth;
                    con->ProcessReceived(in.ConsumeRandomLengthString(128));
                    --depth;
                }
                break;
            case 6:
                if (!owned.empty()) owned.erase(owned.begin());
                break;
            case 7:
                con.reset();
                break;
            case 8:
                (void)con->Receive();
                break;
            case 9:
                con->send(in.ConsumeRandomLengthString(64));
                break;
            default:
                break;
        }
    }
};

FixedSettings g_settings;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SetSettingsSource(&g_settings);
    FuzzedDataProvider in(data, size);
    Run run(in);
    // A failed connect keeps its socket, so sends fail with an error but replies are queued.
    run.con->connect(0);
    run.con->SetNick("bob");
    run.con->ReceivedPage = [&run](const std::string& line) {
        run.OnLine(line, Delivery::Data, {});
    };
    run.con->Error = [](ErrorCode error) {
        const int code = Number(error);
        Check(code == 0 || code == 2 || code == 100 || code == 101 || code == 500 || code == 501);
    };
    for (int i = in.ConsumeIntegralInRange<int>(0, 3); i > 0; --i) {
        run.held.push_back(
            run.con->RegisterIntercept(std::string(run.Code()), run.NewConsumer(), 1));
    }
    for (int i = in.ConsumeIntegralInRange<int>(0, 4); i > 0; --i) run.Queue();

    while (run.con && in.remaining_bytes() > 0) {
        std::string chunk = in.ConsumeRandomLengthString(4096);
        // Now and then a read repeated into an over-long line.
        if (in.ConsumeIntegralInRange<int>(0, 15) == 0) {
            std::string big;
            for (int k = 0; k < 300; ++k) big += chunk;
            chunk.swap(big);
        }
        const PassResult result = run.con->ProcessReceived(chunk);
        Check(result == PassResult::Lines || (result == PassResult::Closed && !run.con));
        // An unfinished line never outgrows its bound.
        if (run.con && run.con->Buffer().find('\n') == std::string_view::npos) {
            Check(run.con->Buffer().size() <= LineBuffer::kMaxPartial + 1);
        }
    }
    SetSettingsSource(nullptr);
    return 0;
}
