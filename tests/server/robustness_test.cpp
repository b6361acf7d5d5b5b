// SPDX-License-Identifier: MIT
// Bad input, slow readers, and ports or folders already in use.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <memory>

#include "support/local_server.h"
#include "support/temp_registry.h"
#include "wire_client.h"

namespace vantor::test {
namespace {

using namespace std::string_view_literals;

bool Answers(int port) {
    WireClient probe(port);
    probe.SendLine("FINDUSEREX nobody 0");
    return probe.WaitForCode("398").has_value();
}

TEST(ServiceRobustness, survivesMalformedAndOverlongInput) {
    LocalServer server;
    WireClient ann(server.BasePort());
    ASSERT_TRUE(ann.LogOn("ann", "pw"));
    for (auto line : {"",
                      " ",
                      ":",
                      ": :",
                      ":x",
                      "JOIN",
                      "JOIN ,,, ,",
                      "PART",
                      "PART ,",
                      "PRIVMSG",
                      "PRIVMSG :",
                      "PRIVMSG ,#, :x",
                      "PAGE",
                      "PAGE :",
                      "PAGE ann",
                      "FINDUSEREX",
                      "ADDBUDDY",
                      "DELBUDDY",
                      "LIST x y z",
                      "NICK",
                      "USER",
                      "apgar",
                      "SETCODEPAGE 1252",
                      "SETOPT 17,33",
                      "WHATEVER a b c"}) {
        ann.SendLine(line);
    }
    ann.Send("\x00\xff\xfe junk\x01\r\r\n\n\n"sv);
    ann.Send(std::string(2 * 1024 * 1024, 'x'));  // one line far beyond any limit
    ann.SendLine("");
    ann.SendLine("FINDUSEREX ann");  // the line after it is read normally
    EXPECT_TRUE(ann.WaitFor([](auto& l) { return Word(l, 1) == "398" && Word(l, 3) == "3"; }));

    // Junk before log-on, and connections that go away halfway through a line.
    WireClient junk(server.BasePort());
    junk.Send("\xff\xfe\x00NICK \x80\r\nUSER\r\n"sv);
    for (int i = 0; i < 20; ++i) {
        WireClient halfOpen(server.BasePort() + 1);
        halfOpen.Send("NICK half" + std::to_string(i) +
                      "\r\nUSER a b c :d\r\nPRIVMSG #Lob_12_0 :unfin");
    }
    EXPECT_TRUE(Answers(server.BasePort()));
    EXPECT_TRUE(Answers(server.BasePort() + 2));

    // A client that ends its sending side right after the question still gets the answer.
    WireClient oneShot(server.BasePort());
    oneShot.SendLine("FINDUSEREX ann 0");
    oneShot.ShutdownSend();
    EXPECT_TRUE(oneShot.WaitForCode("398"));
}

TEST(ServiceRobustness, aStuckReaderHoldsUpNobodyAndIsDropped) {
    LocalServer server{false, {"--send-queue-limit", "65536"}};
    WireClient stuck(server.BasePort(), 4096);  // logs on, joins, then never reads again
    WireClient talker(server.BasePort()), listener(server.BasePort());
    ASSERT_TRUE(stuck.LogOn("stuck", "pw"));
    ASSERT_TRUE(talker.LogOn("talker", "pw"));
    ASSERT_TRUE(listener.LogOn("listener", "pw"));
    for (WireClient* c : {&stuck, &talker, &listener}) {
        c->SendLine("JOIN #Lob_12_5 plumvex4");
        ASSERT_TRUE(c->WaitForCode("366"));
    }

    const std::string text(4000, 'z');
    bool dropped = false;
    for (int round = 0; round < 200 && !dropped; ++round) {
        for (int i = 0; i < 20; ++i) talker.SendLine("PRIVMSG #Lob_12_5 :" + text);
        talker.SendLine("PRIVMSG #Lob_12_5 :mark" + std::to_string(round));
        std::string mark = ":mark" + std::to_string(round);
        ASSERT_TRUE(listener.WaitFor([&](auto& l) { return Word(l, 3, 4) == mark; }))
            << "round " << round;
        listener.TakeLines();
        dropped =
            talker
                .WaitFor([](auto& l) { return Word(l, 1) == "QUIT"; }, std::chrono::milliseconds(0))
                .has_value();
    }
    EXPECT_TRUE(dropped);
    EXPECT_TRUE(Answers(server.BasePort()));
}

int RunServer(const std::vector<std::string>& args) {
    std::string cmd = VANTOR_SERVER_BIN;
    for (const auto& a : args) cmd += " '" + a + "'";
    cmd += " >/dev/null 2>&1";
    int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ServiceStartUp, failsWhenItsPortsOrDataFolderAreTaken) {
    LocalServer server;
    TempDir otherData;
    EXPECT_EQ(RunServer({"--base-port", std::to_string(server.BasePort() + 2), "--data-dir",
                         otherData.Path().string()}),
              2);
    // A second server on the same data folder would overwrite the first one's accounts.
    EXPECT_EQ(RunServer({"--base-port", std::to_string(server.BasePort() + 3), "--data-dir",
                         server.DataDir().string()}),
              2);
    EXPECT_EQ(RunServer({"--bogus"}), 1);
    EXPECT_EQ(RunServer({"--help"}), 0);
    EXPECT_TRUE(Answers(server.BasePort()));
}

}  // namespace
}  // namespace vantor::test
