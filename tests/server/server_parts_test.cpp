// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <fstream>

#include "account_store.h"
#include "options.h"
#include "support/temp_registry.h"
#include "wire.h"

namespace vantor::server {
namespace {

TEST(WireParsing, nicknamesCannotCarryWireSeparators) {
    EXPECT_TRUE(IsValidNick("Bob_[9]"));
    EXPECT_FALSE(IsValidNick(""));
    EXPECT_FALSE(IsValidNick("tenletters"));
    for (auto bad : {"a b", "a,b", "a`b", "a!b", "a@b", "#ab", ":ab", "a\x01"}) {
        EXPECT_FALSE(IsValidNick(bad)) << bad;
    }
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
    ASSERT_TRUE(ParseOptions(
        {"--base-port", "9000", "--demo", "--data-dir", "/tmp/x", "--ping-interval", "0.25"}, o,
        error));
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
