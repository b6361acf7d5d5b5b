// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <fstream>

#include "account_store.h"
#include "options.h"
#include "password_code.h"
#include "support/temp_registry.h"
#include "wire.h"

namespace vantor::server {
namespace {

TEST(PasswordCode, matchesTheClientsEncoding) {
    EXPECT_EQ(EncodePassword(""), "");
    EXPECT_EQ(EncodePassword("abc"), "abc");  // 97*2&0=0, 98^99=1, 99*2&98=66 -> 2
    // The first character pairs with the terminating zero: odd gives 'a', even its low six bits.
    EXPECT_EQ(EncodePassword("c")[0], 'a');
    EXPECT_EQ(EncodePassword("d")[0], 'K');  // 100 & 63 = 36
    EXPECT_EQ(EncodePassword("password").size(), 8u);
}

TEST(WireParsing, readsCommandsAsTheClientWritesThem) {
    auto apgar = ParseCommand("apgar  0");  // the line for an empty password
    EXPECT_EQ(apgar.name, "APGAR");
    ASSERT_EQ(apgar.params.size(), 2u);
    EXPECT_EQ(apgar.params[0], "");

    auto page = ParseCommand("PAGE bob :hi: there  friend");
    ASSERT_EQ(page.params.size(), 2u);
    EXPECT_EQ(page.params[1], "hi: there  friend");

    auto prefixed = ParseCommand(":bob JOIN #Lob_12_0 plumvex4");
    EXPECT_EQ(prefixed.name, "JOIN");
    EXPECT_EQ(prefixed.Param(1), "plumvex4");
    EXPECT_EQ(ParseCommand("").name, "");
    EXPECT_EQ(ParseCommand(":onlyprefix").name, "");

    EXPECT_EQ(SplitWords("a b c d e f", 5).back(), "e f");
    EXPECT_EQ(SplitWords("a  b").size(), 3u);
}

TEST(WireParsing, nicknamesCannotCarryWireSeparators) {
    EXPECT_TRUE(IsValidNick("Bob_[9]"));
    EXPECT_FALSE(IsValidNick(""));
    EXPECT_FALSE(IsValidNick("tenletters"));
    for (auto bad : {"a b", "a,b", "a`b", "a!b", "a@b", "#ab", ":ab", "a\x01"}) {
        EXPECT_FALSE(IsValidNick(bad)) << bad;
    }
}

TEST(AccountStore, keepsAccountsAndBuddiesAcrossALoad) {
    test::TempDir dir;
    std::string error;
    {
        AccountStore store(dir.Path());
        ASSERT_TRUE(store.Load(error));  // no file yet: empty
        Account& bob = store.Create("Bob", "abc");
        EXPECT_TRUE(store.AddBuddy(bob, "carol"));
        EXPECT_TRUE(store.AddBuddy(bob, "dave"));
        EXPECT_FALSE(store.AddBuddy(bob, "CAROL"));  // already there
        EXPECT_FALSE(store.AddBuddy(bob, ""));
        EXPECT_FALSE(store.AddBuddy(bob, "a`b"));
        EXPECT_TRUE(store.AddBuddy(bob, "erin"));
        EXPECT_TRUE(store.DelBuddy(bob, "DAVE"));
        EXPECT_FALSE(store.DelBuddy(bob, "zed"));
        ASSERT_TRUE(store.Save(error)) << error;
        EXPECT_FALSE(store.Dirty());
    }
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "accounts.txt.tmp"));

    AccountStore again(dir.Path());
    ASSERT_TRUE(again.Load(error));
    Account* bob = again.Find("BOB");
    ASSERT_NE(bob, nullptr);
    EXPECT_EQ(bob->nick, "Bob");
    EXPECT_EQ(bob->code, "abc");
    EXPECT_EQ(bob->buddies, (std::vector<std::string>{"carol", "erin"}));
}

TEST(AccountStore, skipsLinesItCannotUnderstand) {
    test::TempDir dir;
    {
        std::ofstream file(dir.Path() / "accounts.txt", std::ios::binary);
        file << "# comment\n"
             << "garbage without tabs\n"
             << "bad nick\tabc\t\n"
             << "ann\tno spaces allowed\t\n"
             << "ann\tabc\tbob`not valid`carol\r\n"
             << "ANN\txyz\t\n";  // a second entry for the same name is ignored
    }
    AccountStore store(dir.Path());
    std::string error;
    ASSERT_TRUE(store.Load(error));
    Account* ann = store.Find("ann");
    ASSERT_NE(ann, nullptr);
    EXPECT_EQ(ann->code, "abc");
    EXPECT_EQ(ann->buddies, (std::vector<std::string>{"bob", "carol"}));
    EXPECT_EQ(store.Find("bad nick"), nullptr);
}

TEST(AccountStore, capsTheBuddyList) {
    test::TempDir dir;
    AccountStore store(dir.Path());
    Account& a = store.Create("a", "");
    for (std::size_t i = 0; i < AccountStore::kMaxBuddies; ++i) {
        ASSERT_TRUE(store.AddBuddy(a, "b" + std::to_string(i)));
    }
    EXPECT_FALSE(store.AddBuddy(a, "onemore"));
}

TEST(Options, parsesAndRefuses) {
    Options o;
    std::string error;
    ASSERT_TRUE(ParseOptions({"--base-port", "9000", "--demo", "--data-dir", "/tmp/x",
                              "--ping-interval", "0.25"},
                             o, error));
    EXPECT_EQ(o.basePort, 9000);
    EXPECT_TRUE(o.demo);
    EXPECT_EQ(o.dataDir, "/tmp/x");
    EXPECT_EQ(o.pingInterval, std::chrono::milliseconds(250));

    for (auto bad : std::vector<std::vector<std::string>>{{"--base-port"},
                                                         {"--base-port", "65534"},
                                                         {"--base-port", "12x"},
                                                         {"--ping-interval", "0"},
                                                         {"--ping-interval", "nan"},
                                                         {"--data-dir", ""},
                                                         {"--bogus"}}) {
        Options fresh;
        EXPECT_FALSE(ParseOptions(bad, fresh, error)) << bad[0];
    }
}

}  // namespace
}  // namespace vantor::server
