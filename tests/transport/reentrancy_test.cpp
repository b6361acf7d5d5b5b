// SPDX-License-Identifier: MIT
// Handlers that change or destroy the transport in the middle of a receive pass.
#include "transport_fixture.h"

namespace vantor::test {
namespace {

using Reentrancy = TransportTest;

const char* const kThreeLines = "s X 1\r\ns X 2\r\ns X 3\r\n";

TEST_F(Reentrancy, handlerSendsAndQueuesMidPass) {
    ASSERT_TRUE(Connect());
    auto answers = Recorder();
    Hold(con_->RegisterIntercept(
        "X", Keep(MakeCallback([&](const std::string& line, Delivery, const Param&) {
            got_.push_back({line, Delivery::Intercepted, -1});
            con_->send(
                "ACK " + line.substr(4),
                {.callback = answers, .param = static_cast<int>(got_.size()), .codes = {"Y"}});
        }))));
    peer_.Send("s X 1\r\ns Y a\r\ns X 2\r\ns Y b\r\n");
    ASSERT_TRUE(PassUntilDelivered(4));
    EXPECT_EQ(GotLines(), "s X 1=-1|s Y a=1|s X 2=-1|s Y b=3");
    EXPECT_TRUE(peer_.WaitForLine("ACK 2"));
}

TEST_F(Reentrancy, handlerRegistersAndRemovesMidPass) {
    ASSERT_TRUE(Connect());
    auto b = Recorder();
    Hold(con_->RegisterIntercept(
        "A", Keep(MakeCallback([&](const std::string& line, Delivery, const Param&) {
            got_.push_back({line, Delivery::Intercepted, 0});
            con_->RemoveIntercept("A");
            Hold(con_->RegisterIntercept("B", b, 7));
            Hold(con_->RegisterIntercept("C", b, 8));
            con_->RemoveIntercept("C");
        }))));
    peer_.Send("s A 1\r\ns A 2\r\ns B 3\r\ns C 4\r\n");
    ASSERT_TRUE(PassUntilLogged("s C 4", kLogUnhandled));
    EXPECT_EQ(GotLines(), "s A 1=0|s B 3=7");
    EXPECT_TRUE(Logged("s A 2", kLogUnhandled));
}

TEST_F(Reentrancy, disconnectMidPassLogsTheRestInsteadOfRouting) {
    ASSERT_TRUE(Connect());
    Hold(con_->RegisterIntercept(
        "X", Keep(MakeCallback([&](const std::string& line, Delivery, const Param&) {
            got_.push_back({line, Delivery::Intercepted, 0});
            con_->Disconnect();
        }))));
    peer_.Send(std::string(kThreeLines) + "s X 4");
    ASSERT_TRUE(PassUntilDelivered(1));
    EXPECT_FALSE(con_->IsConnected());
    EXPECT_TRUE(Logged("s X 2", kLogHandled));
    EXPECT_TRUE(Logged("s X 3", kLogHandled));
    EXPECT_EQ(con_->Buffer(), "s X 4");  // an unfinished line is not logged as a line
    EXPECT_EQ(con_->PopulateBuff(), PassResult::Idle);
    EXPECT_EQ(got_.size(), 1u);
}

TEST_F(Reentrancy, connectMidPassStartsCleanOnTheNewLink) {
    ASSERT_TRUE(Connect());
    con_->send("GETBUDDY", {.callback = Recorder(), .param = 1, .codes = {"333"}});
    bool reconnected = false;
    Hold(con_->RegisterIntercept(
        "X", Keep(MakeCallback([&](const std::string& line, Delivery, const Param&) {
            got_.push_back({line, Delivery::Intercepted, 0});
            if (!reconnected) reconnected = con_->connect(peer_.Port());
        }))));
    peer_.Send(std::string(kThreeLines) + "s X 4");
    ASSERT_TRUE(PassUntilDelivered(1));
    ASSERT_TRUE(reconnected);
    ASSERT_TRUE(peer_.Accept());
    EXPECT_TRUE(Logged("s X 2", kLogHandled));
    EXPECT_TRUE(Logged("s X 4", kLogHandled));  // the old link's unfinished line is dropped
    EXPECT_TRUE(con_->Buffer().empty());

    peer_.Send("s X 5\r\n:s 333 bob a\r\n");
    ASSERT_TRUE(PassUntilLogged(":s 333 bob a", kLogUnhandled));  // the queue began empty
    EXPECT_EQ(GotLines(), "s X 1=0|s X 5=0");
}

TEST_F(Reentrancy, handlerDestroysTheOwnerOfItsCallback) {
    struct Owner {
        std::shared_ptr<Callback> cb;
        std::string name = "chat window";
    };
    ASSERT_TRUE(Connect());
    auto owner = std::make_unique<Owner>();
    owner->cb = MakeCallback([&, o = owner.get()](const std::string& line, Delivery, const Param&) {
        got_.push_back({line + " " + o->name, Delivery::Intercepted, 0});
        owner.reset();  // the window closes from its own handler
        got_.push_back({"after", Delivery::Intercepted, 0});
    });
    Hold(con_->RegisterIntercept("X", owner->cb));
    con_->send("GETBUDDY", {.callback = owner->cb, .param = 1, .codes = {"333"}});
    peer_.Send(std::string(kThreeLines) + ":s 333 bob a\r\n");
    ASSERT_TRUE(PassUntilLogged(":s 333 bob a", kLogHandled));
    ASSERT_EQ(got_.size(), 2u);
    EXPECT_EQ(got_[0].line, "s X 1 chat window");
    EXPECT_TRUE(Logged("s X 2", kLogIntercepted));
    EXPECT_TRUE(Logged("s X 3", kLogIntercepted));
}

// Every way out of a pass to user code, each destroying the transport on the first line.
TEST_F(Reentrancy, handlerDestroysTheTransportMidPass) {
    using Kill = std::function<void()>;
    struct Case {
        const char* name;
        const char* first;
        // Arms the way out; returns the callback, which the test owns like a window would.
        std::function<std::shared_ptr<Callback>(WOLCon2&, Kill)> arm;
    };
    auto killer = [](Kill kill) {
        return MakeCallback([kill](const std::string&, Delivery, const Param&) { kill(); });
    };
    const std::vector<Case> cases = {
        {"intercept", "s X 1",
         [&](WOLCon2& c, Kill kill) {
             auto cb = killer(kill);
             Hold(c.RegisterIntercept("X", cb));
             return cb;
         }},
        {"queue", "s 333 a",
         [&](WOLCon2& c, Kill kill) {
             auto cb = killer(kill);
             c.send("GETBUDDY", {.callback = cb, .param = 1, .codes = {"333"}});
             return cb;
         }},
        {"page", "s PAGE bob :hi",
         [](WOLCon2& c, Kill kill) {
             c.ReceivedPage = [kill](const std::string&) { kill(); };
             return std::shared_ptr<Callback>();
         }},
        {"error", "ERROR :Closing Link: bob (Killed)",
         [](WOLCon2& c, Kill kill) {
             c.Error = [kill](ErrorCode) { kill(); };
             return std::shared_ptr<Callback>();
         }},
        {"expired wait", "s X 1",
         [&](WOLCon2& c, Kill kill) {
             // The command is queued at the first reading of the clock; by the next it is late.
             auto readings = std::make_shared<int>(0);
             const auto start = std::chrono::steady_clock::now();
             c.SetClock([readings, start] {
                 return start +
                        ((*readings)++ == 0 ? std::chrono::seconds(0) : 2 * WOLCon2::kReplyWait);
             });
             auto cb = killer(kill);
             c.send("GETBUDDY", {.callback = cb, .param = 1, .codes = {"999"}});
             return cb;
         }},
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        LoopbackPeer peer;
        auto con = std::make_unique<WOLCon2>();
        ASSERT_TRUE(con->connect(peer.Port()));
        ASSERT_TRUE(peer.Accept());
        int calls = 0;
        auto owned = tc.arm(*con, [&] {
            ++calls;
            con.reset();
        });
        peer.Send(std::string(tc.first) + "\r\n" + tc.first + "\r\ns 333 b\r\n");
        PassResult result = PassResult::Idle;
        ASSERT_TRUE(
            PumpUntil([&] { return con == nullptr; }, [&] { result = con->PopulateBuff(); }));
        EXPECT_EQ(result, PassResult::Closed);
        EXPECT_EQ(calls, 1);
        EXPECT_TRUE(peer.ClientClosed() || PumpUntil([&] { return peer.ClientClosed(); }, {}));
    }
}

TEST_F(Reentrancy, nestedPassRoutesEachLineOnceInOrder) {
    ASSERT_TRUE(Connect());
    int depth = 0;
    Hold(con_->RegisterIntercept(
        "X", Keep(MakeCallback([&](const std::string& line, Delivery, const Param&) {
            got_.push_back({line, Delivery::Intercepted, depth});
            if (got_.size() == 1) {
                // A modal loop inside a handler runs the next timer tick's
                // pass.
                ++depth;
                con_->ProcessReceived("s X 4\r\n");
                --depth;
            }
        }))));
    peer_.Send(kThreeLines);
    ASSERT_TRUE(PassUntilDelivered(4));
    EXPECT_EQ(GotLines(), "s X 1=0|s X 2=1|s X 3=1|s X 4=1");
}

}  // namespace
}  // namespace vantor::test
