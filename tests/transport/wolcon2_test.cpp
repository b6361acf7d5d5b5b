// SPDX-License-Identifier: MIT
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <algorithm>

#include "transport_fixture.h"

namespace vantor::test {
namespace {

using LineTransport = TransportTest;
using Routing = TransportTest;
using ReplyQueue = TransportTest;
using ConnectionFailures = TransportTest;
using HostileInput = TransportTest;

TEST_F(LineTransport, blankLineNoLongerHoldsBackThePageAfterIt) {
    ASSERT_TRUE(Connect());
    con_->SetNick("bob");
    Hold(con_->RegisterIntercept("X", Recorder()));
    // PING is answered with the nick whatever its token.
    peer_.Send(
        "s X 1\r\n\r\n\r\n:al!u@h PAGE bob :hi\r\nPING :irc.example.net\r\nPING\r\nPING a b\r\n");
    // Everything arrives in the pass that reads it; the peer sends nothing more.
    ASSERT_TRUE(PassUntil([&] { return !pages_.empty(); }));
    EXPECT_EQ(pages_, std::vector<std::string>{":al!u@h PAGE bob :hi"});
    EXPECT_EQ(GotLines(), "s X 1=-1");
    ASSERT_TRUE(peer_.WaitForLines(3));
    EXPECT_EQ(peer_.Lines(), std::vector<std::string>(3, "PONG bob :"));
    EXPECT_TRUE(Logged("PING :irc.example.net", kLogHandled));
    EXPECT_TRUE(con_->Buffer().empty());
}

TEST_F(LineTransport, lineEndsAsRobustPeersReadThem) {
    struct Case {
        const char* name;
        std::vector<std::string> reads;
        std::vector<std::string> pages;
    };
    const std::vector<Case> cases = {
        {"bare LF ends a line, so a second sender stays apart",
         {":a PAGE bob :one\n:b PAGE bob :two\r\n"},
         {":a PAGE bob :one", ":b PAGE bob :two"}},
        {"NUL becomes a space instead of cutting the text",
         {std::string(":a PAGE bob :x\0y\r\n", 18)},
         {":a PAGE bob :x y"}},
        {"lone CR becomes a space", {":a PAGE bob :x\ry\r\n"}, {":a PAGE bob :x y"}},
        {"a line cut anywhere waits for the rest",
         {":a PA", "GE bob :x\r", "\n"},
         {":a PAGE bob :x"}},
        {"CR at the end of a read, then text", {":a PAGE bob :x\r", "y\n"}, {":a PAGE bob :x y"}},
        {"blank bare-LF lines are stepped over", {"\n\r\n\n:a PAGE bob :z\n"}, {":a PAGE bob :z"}},
    };
    for (const Case& c : cases) {
        pages_.clear();
        for (const std::string& bytes : c.reads)
            EXPECT_EQ(con_->ProcessReceived(bytes), PassResult::Lines);
        EXPECT_EQ(pages_, c.pages) << c.name;
        EXPECT_TRUE(con_->Buffer().empty()) << c.name;
    }
}

TEST_F(LineTransport, commandsAreSentAndLoggedAsOneLine) {
    ASSERT_TRUE(Connect());
    con_->send(std::string("PRIVMSG #a :x\r\nQUIT\0y", 21));
    ASSERT_TRUE(peer_.WaitForLines(1));
    EXPECT_EQ(peer_.Lines()[0], "PRIVMSG #a :x  QUIT y");
    EXPECT_TRUE(Logged("PRIVMSG #a :x  QUIT y", kLogSent));
    EXPECT_TRUE(
        Logged("Socket connected successfully to 127.0.0.1:" + std::to_string(peer_.Port()) + ".",
               kLogNote));
}

TEST_F(Routing, interceptBeatsPingAndTheQueue) {
    ASSERT_TRUE(Connect());
    con_->SetNick("bob");
    auto queued = Recorder();
    con_->send("USER x",
               {.callback = queued, .param = 1, .codes = {"433"}, .start = "375", .end = "376"});
    Hold(con_->RegisterIntercept("375", Recorder(), 9));
    Hold(con_->RegisterIntercept("KEY", Recorder(), 8));
    peer_.Send(":s 375 bob :- hi\r\nPING KEY\r\n");
    ASSERT_TRUE(PassUntilDelivered(2));
    EXPECT_EQ(GotLines(), ":s 375 bob :- hi=9|PING KEY=8");
    EXPECT_TRUE(Logged("PING KEY", kLogIntercepted));

    // Once removed, the same lines reach PING handling and the queue again.
    con_->RemoveIntercept("375");
    con_->RemoveIntercept("KEY");
    con_->RemoveIntercept("never registered");
    peer_.Send(":s 375 bob :- hi\r\nPING KEY\r\n");
    ASSERT_TRUE(PassUntilDelivered(3));
    EXPECT_EQ(got_[2].kind, Delivery::Start);
    EXPECT_EQ(got_[2].param, 1);
    ASSERT_TRUE(peer_.WaitForLine("PONG bob :"));
    EXPECT_EQ(peer_.Lines(), (std::vector<std::string>{"USER x", "PONG bob :"}));
}

// An intercept lasts as long as its registration: the registration's end removes it, but never a
// newer registration of the same code, and a registration that outlives its transport is inert.
TEST_F(Routing, interceptEndsWithItsRegistrationButNotWithAnOlderOne) {
    ASSERT_TRUE(Connect());
    {
        InterceptRegistration first = con_->RegisterIntercept("X", Recorder(), 1);
        InterceptRegistration second = con_->RegisterIntercept("Y", Recorder(), 2);
        peer_.Send("s X a\r\ns Y b\r\n");
        ASSERT_TRUE(PassUntilDelivered(2));
        second.Remove();
        EXPECT_FALSE(second.Held());
        peer_.Send("s Y c\r\n");
        ASSERT_TRUE(PassUntilLogged("s Y c", kLogUnhandled));
        // Registered again: the first registration no longer owns the code.
        Hold(con_->RegisterIntercept("X", Recorder(), 3));
    }
    peer_.Send("s X d\r\n");
    ASSERT_TRUE(PassUntilDelivered(3));
    EXPECT_EQ(GotLines(), "s X a=1|s Y b=2|s X d=3");

    InterceptRegistration orphan = con_->RegisterIntercept("Z", Recorder(), 4);
    con_.reset();
    orphan.Remove();  // the transport is gone: nothing to remove, nothing touched
}

TEST_F(Routing, pageIsRecognisedByItsSecondWord) {
    ASSERT_TRUE(Connect());
    con_->send("PAGE alice :hi", {.callback = Recorder(), .codes = {"PAGE"}});
    peer_.Send(":alice!u@h PAGE bob :hi there\r\nPAGE x y\r\n");
    ASSERT_TRUE(PassUntilLogged("PAGE x y", kLogUnhandled));
    EXPECT_EQ(pages_, std::vector<std::string>{":alice!u@h PAGE bob :hi there"});
    EXPECT_TRUE(Logged(":alice!u@h PAGE bob :hi there", kLogHandled));
    EXPECT_TRUE(got_.empty());  // PAGE handling comes before the queue
}

TEST_F(Routing, errorLineGivesPasswordCodeOrServerErrorAndKeepsTheReason) {
    struct Case {
        std::string line;
        ErrorCode code;
        std::string reason;
    };
    const Case cases[] = {
        {"ERROR :Closing Link: bob[h] (Password needed for that nickname.)",
         ErrorCode::PasswordNeeded, "Password needed for that nickname."},
        {"ERROR :Closing Link: bob[h] (Password needed for that nickname.) ", ErrorCode::Server,
         "(Password needed for that nickname.) "},
        {"ERROR :Closing Link: bob[h] (Killed by admin)", ErrorCode::Server, "Killed by admin"},
        {"ERROR :Erroneous nickname", ErrorCode::Server, "Erroneous nickname"},
        {"ERROR :Closing Link: bob[h] odd reason", ErrorCode::Server, "odd reason"},
        {"ERROR", ErrorCode::Server, ""},
    };
    for (const Case& c : cases) {
        errors_.clear();
        con_->ProcessReceived(c.line + "\r\n");
        EXPECT_EQ(errors_, std::vector<ErrorCode>{c.code}) << c.line;
        EXPECT_EQ(con_->LastErrorReason(), c.reason) << c.line;
        EXPECT_TRUE(Logged(c.line, kLogHandled)) << c.line;
    }
}

// The one-line answers that end such an entry before its start are the log-on's tests.
TEST_F(ReplyQueue, startedEntryTakesItsDataUntilTheEnd) {
    ASSERT_TRUE(Connect());
    con_->send("USER u", {.callback = Recorder(),
                          .param = 1,
                          .codes = {"433", "431", "372"},
                          .start = "375",
                          .end = "376"});
    peer_.Send(
        ":s 375 bob :start\r\n:s 372 bob :- a\r\n:s 372 bob :- b\r\n:s 376 bob :end\r\n"
        ":s 376 bob :again\r\n");
    ASSERT_TRUE(PassUntilLogged(":s 376 bob :again", kLogUnhandled));
    ASSERT_EQ(got_.size(), 4u);
    const Delivery kinds[] = {Delivery::Start, Delivery::Data, Delivery::Data, Delivery::End};
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(got_[i].kind == kinds[i] && got_[i].param == 1) << i;
    EXPECT_TRUE(Logged(":s 375 bob :start", kLogReplyStart));
    EXPECT_TRUE(Logged(":s 372 bob :- a", kLogHandled));
    EXPECT_TRUE(Logged(":s 376 bob :end", kLogReplyEnd));
}

TEST_F(ReplyQueue, onlyTheOldestUnstartedEntryIsExamined) {
    ASSERT_TRUE(Connect());
    con_->send("GETBUDDY", {.callback = Recorder(), .param = 1, .codes = {"333"}});
    con_->send("FINDUSEREX al 0", {.callback = Recorder(), .param = 2, .codes = {"398"}});
    peer_.Send(":s 398 bob 1 #x,0\r\n:s 333 bob a`b\r\n:s 398 bob 1 #x,0\r\n");
    ASSERT_TRUE(PassUntilDelivered(2));
    EXPECT_TRUE(Logged(":s 398 bob 1 #x,0", kLogUnhandled));
    EXPECT_EQ(GotLines(), ":s 333 bob a`b=1|:s 398 bob 1 #x,0=2");
}

TEST_F(ReplyQueue, answerToLaterEntryRemovesEarlierOnesFirst) {
    ASSERT_TRUE(Connect());
    con_->send(
        "USER u",
        {.callback = Recorder(), .param = 1, .codes = {"372"}, .start = "375", .end = "376"});
    bool earlierStillQueued = true;
    auto later = MakeCallback([&](const std::string&, Delivery kind, const Param&) {
        EXPECT_EQ(kind, Delivery::Answer);
        // Inside the callback the started entry ahead must already be gone.
        std::size_t before = got_.size();
        con_->ProcessReceived(":s 372 bob :late data\r\n");
        earlierStillQueued = got_.size() != before;
        got_.push_back({"later", kind, 2});
    });
    con_->send("GETBUDDY", {.callback = later, .param = 2, .codes = {"333"}});
    peer_.Send(":s 375 bob :start\r\n:s 333 bob a`b\r\n:s 376 bob :end\r\n");
    ASSERT_TRUE(PassUntilLogged(":s 376 bob :end", kLogUnhandled));
    EXPECT_FALSE(earlierStillQueued);
    EXPECT_TRUE(Logged(":s 372 bob :late data", kLogUnhandled));
    EXPECT_EQ(GotLines(), ":s 375 bob :start=1|later=2");
}

TEST_F(ReplyQueue, droppedAnswerNoLongerShiftsTheNextOne) {
    ASSERT_TRUE(Connect());
    auto now = std::chrono::steady_clock::now();
    con_->SetClock([&] { return now; });
    con_->send(
        "USER u",
        {.callback = Recorder(), .param = 2, .codes = {"433"}, .start = "375", .end = "376"});
    con_->send("PAGE al :long", {.callback = Recorder(),
                                 .param = 1,
                                 .codes = {"389"}});  // the server drops it without a reply
    ASSERT_TRUE(peer_.WaitForLines(2));
    now += std::chrono::seconds(30);
    peer_.Send(":s 375 bob :start\r\n");  // the started reply keeps its own entry alive
    ASSERT_TRUE(PassUntilDelivered(1));
    now += WOLCon2::kReplyWait - std::chrono::seconds(30);
    con_->PopulateBuff();  // the page has waited exactly its time: kept
    EXPECT_EQ(got_.size(), 1u);

    now += std::chrono::seconds(1);
    con_->PopulateBuff();
    ASSERT_EQ(got_.size(), 2u);
    EXPECT_EQ(got_[1].kind, Delivery::Expired);
    EXPECT_EQ(got_[1].param, 1);
    EXPECT_TRUE(got_[1].line.empty());
    EXPECT_TRUE(
        Logged("No answer within 60 seconds; dropped the wait for \"PAGE al :long\".", kLogNote));

    con_->send("PAGE bo :hi", {.callback = Recorder(), .param = 3, .codes = {"389"}});
    peer_.Send(":s 389 bob 1\r\n");
    ASSERT_TRUE(PassUntilDelivered(3));
    EXPECT_EQ(GotLines(), ":s 375 bob :start=2|=1|:s 389 bob 1=3");
}

TEST_F(ConnectionFailures, sendWithoutSocketGives101AndQueuesNothing) {
    con_->send("NICK \"bob\"", {.callback = Recorder(), .param = 1, .codes = {"433"}});
    EXPECT_EQ(errors_, std::vector<ErrorCode>{ErrorCode::NotConnected});
    EXPECT_TRUE(
        Logged("Socket is not connected, could not send command: \"NICK \"bob\"\".", kLogError));
    con_->ProcessReceived(":s 433 bob :in use\r\n");
    EXPECT_TRUE(got_.empty());
    EXPECT_EQ(con_->PopulateBuff(), PassResult::Idle);
}

TEST_F(ConnectionFailures, failedConnectKeepsItsHandleSoSendGives100) {
    EXPECT_FALSE(con_->connect(ClosedPort()));
    EXPECT_FALSE(con_->connect(0));
    EXPECT_FALSE(con_->connect(70000));
    EXPECT_EQ(errors_, (std::vector<ErrorCode>{ErrorCode::ConnectFailed, ErrorCode::ConnectFailed,
                                               ErrorCode::ConnectFailed}));
    EXPECT_TRUE(Logged("Socket Error - Could not connect to remote host.", kLogError));
    EXPECT_TRUE(con_->IsConnected());
    errors_.clear();
    con_->send("NICK bob");
    EXPECT_EQ(errors_, std::vector<ErrorCode>{ErrorCode::SendFailed});
    EXPECT_TRUE(Logged("Error sending command.", kLogError));

    // A fresh connect still works afterwards.
    ASSERT_TRUE(Connect());
    con_->send("NICK bob");
    EXPECT_TRUE(peer_.WaitForLine("NICK bob"));
}

TEST_F(ConnectionFailures, noDescriptorOutlivesItsLink) {
    const int before = OpenDescriptors();
    if (before < 0) GTEST_SKIP() << "the system does not list the open descriptors";
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(con_->connect(ClosedPort()));  // failed connects, one over the other
        EXPECT_FALSE(con_->connect(70000));
        ASSERT_TRUE(Connect());
        ASSERT_TRUE(Connect());  // a connect over an open link
        peer_.CloseClient();     // the peer closes: the pass disconnects
        ASSERT_TRUE(PassUntil([&] { return !con_->IsConnected(); }));
        ASSERT_TRUE(Connect());
        con_->Disconnect();
        ASSERT_TRUE(Connect());
        con_ = std::make_unique<WOLCon2>();  // destroyed while connected
        EXPECT_FALSE(con_->connect(ClosedPort()));
        con_ = std::make_unique<WOLCon2>();  // destroyed after a failed connect
    }
    peer_.CloseClient();
    EXPECT_EQ(OpenDescriptors(), before);
}

TEST_F(ConnectionFailures, socketCreationFailureGives500ThenSendGives100) {
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer runtime needs descriptors of its own to check memory; without any it reports
    // errors that are not there.
    GTEST_SKIP() << "needs a process that may run out of descriptors";
#elif defined(_WIN32)
    GTEST_SKIP() << "takes every descriptor away with setrlimit, which Windows does not have";
#else
    rlimit old{};
    ::getrlimit(RLIMIT_NOFILE, &old);
    rlimit none = old;
    none.rlim_cur = 0;  // no new descriptor can be made
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &none), 0);
    bool connected = con_->connect(7000);
    ::setrlimit(RLIMIT_NOFILE, &old);

    EXPECT_FALSE(connected);
    EXPECT_EQ(errors_, std::vector<ErrorCode>{ErrorCode::SocketCreate});
    EXPECT_TRUE(Logged("Failed to create a socket.", kLogError));
    EXPECT_TRUE(con_->IsConnected());
    con_->send("NICK bob");
    EXPECT_EQ(errors_, (std::vector<ErrorCode>{ErrorCode::SocketCreate, ErrorCode::SendFailed}));
#endif
}

TEST_F(HostileInput, oddLinesNeitherCrashNorDropTheLink) {
    ASSERT_TRUE(Connect());
    Hold(con_->RegisterIntercept("SYNC", Recorder()));
    con_->send("USER u", {.callback = Recorder(), .param = 1});  // matches nothing, ever
    const std::string nul("a\0b \0 c", 7);                       // logged with spaces for the NULs
    const std::string high("\x80\xff \xe9t\xe9 \x9f", 8);
    peer_.Send("word\r\n \r\n  \r\n" + nul + "\r\n" + high + "\r\n:s  376\r\n:s SYNC 1\r\n");
    ASSERT_TRUE(PassUntilDelivered(1));
    // An empty second word (":s  376") matches no code.
    for (const std::string& line : {std::string("word"), std::string(" "), std::string("a b   c"),
                                    high, std::string(":s  376")})
        EXPECT_TRUE(Logged(line, kLogUnhandled)) << line;
    EXPECT_TRUE(con_->IsConnected());
}

TEST_F(HostileInput, overlongLineIsDroppedAndTheLinkGoesOn) {
    ASSERT_TRUE(Connect());
    Hold(con_->RegisterIntercept("PRIVMSG", Recorder()));
    const std::string chunk(64 * 1024, 'x');
    for (int i = 0; i < 32; ++i) {  // 2 MiB without CR LF
        peer_.Send(chunk);
        PassUntil([&] { return con_->PopulateBuff() != PassResult::Lines; });
    }
    peer_.Send("tail\r\n:a PRIVMSG #x :after\r\n");
    ASSERT_TRUE(PassUntilDelivered(1));
    EXPECT_EQ(got_[0].line, ":a PRIVMSG #x :after");
    EXPECT_TRUE(
        Logged("Dropped an unfinished received line longer than 1048576 bytes.", kLogError));
    for (const LogEntry& e : *log_) EXPECT_LT(e.text.size(), 1000u);  // the tail was no line
    EXPECT_TRUE(con_->IsConnected());
}

TEST_F(HostileInput, emptyLinesAmongLinesKeepTheBufferBounded) {
    // Each empty line ends a pass, so a server that sends one after every line would have each
    // pass read far more than it routes.
    ASSERT_TRUE(Connect());
    Hold(con_->RegisterIntercept("X", Recorder()));
    std::size_t most = 0;
    int sent = 0;
    for (int chunk = 0; chunk < 64; ++chunk) {
        std::string bytes;
        for (int i = 0; i < 64; ++i) {
            bytes += "s X " + std::to_string(sent++) + " " + std::string(1000, 'x') + "\r\n\r\n";
        }
        peer_.Send(bytes);
        for (int pass = 0; pass < 100000 && con_->PopulateBuff() == PassResult::Lines; ++pass) {
            most = std::max(most, con_->Buffer().size());
        }
    }
    EXPECT_LT(most, std::size_t{2} << 20);
    ASSERT_FALSE(got_.empty());
    for (std::size_t i = 0; i < got_.size(); ++i) {  // nothing lost or reordered on the way
        ASSERT_EQ(got_[i].line.substr(0, 5 + std::to_string(i).size()),
                  "s X " + std::to_string(i) + " ");
    }
    EXPECT_TRUE(con_->IsConnected());
}

}  // namespace
}  // namespace vantor::test
