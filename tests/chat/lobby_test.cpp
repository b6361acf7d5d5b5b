// SPDX-License-Identifier: MIT
// The lobby core without a window: what it sends, what it keeps and what it tells its view.
#include "chat/lobby.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "recording_link.h"
#include "support/fake_settings.h"

namespace vantor {
namespace {

// Records what the lobby tells it. Entries read "kind text", the kind as its number.
class FakeLobbyView : public LobbyView {
public:
    void Entry(const LobbyEntry& entry) override {
        entries.push_back(std::to_string(int(entry.kind)) + " " + entry.head + entry.body);
        rows.push_back(entry.row);
        CallCopy(onEntry);
    }
    void Status(const std::string& text) override { status = text; }
    void ChatControls(bool active) override { controls = active; }
    void LobbiesChanged() override { ++lobbyDraws; }
    void MembersChanged() override { ++memberDraws; }
    void UserRenamed() override { ++renames; }
    void LinesHidden() override { ++hiddenCalls; }

    std::vector<std::string> entries;
    std::vector<int> rows;
    std::string status;
    bool controls = false;
    int lobbyDraws = 0;
    int memberDraws = 0;
    int renames = 0;
    int hiddenCalls = 0;
    std::function<void()> onEntry;  // runs inside Entry, where the window lets events run
};

// Public: the tables' steps take the fixture as an argument.
class LobbyCore : public ::testing::Test {
public:
    LobbyCore() {
        SetSettingsSource(&settings);
        lobby->SetWOL(link);
        lobby->SetUser("bob");
    }
    ~LobbyCore() override {
        lobby.reset();
        SetSettingsSource(nullptr);
    }

    // A line of a reply to a command the lobby sent (LIST, JOIN).
    void Reply(int request, const std::string& line, Delivery kind = Delivery::Data) {
        lobby->ChatCB_Callback(line, kind, Param{request});
    }
    // A line the service relays, through the intercept of its command word, as the connection
    // hands it over.
    void Relay(const std::string& line) {
        const std::string word(line.substr(
            line.find(' ') + 1, line.find(' ', line.find(' ') + 1) - line.find(' ') - 1));
        const auto it = link->handlers.find(word);
        ASSERT_NE(it, link->handlers.end()) << "no intercept for " << word;
        it->second->Raise(line, Delivery::Intercepted, Param{link->intercepts.at(word)});
    }
    void ListLobbies() {
        lobby->ConnectChat();
        Reply(Lobby::kList, ":s 321 bob Channel :Users Name", Delivery::Start);
        Reply(Lobby::kList, ":s 327 bob #Lob_12_0 4 0 1");
        Reply(Lobby::kList, ":s 327 bob #Lob_13_1 9 0 1");
        Reply(Lobby::kList, ":s 327 bob #Lob_12_5 2 0 1");
        Reply(Lobby::kList, ":s 323 bob :End of /LIST", Delivery::End);
    }
    void EnterLobby(const std::string& names = "@op bob carl") {
        ListLobbies();
        Relay(":bob!u@h JOIN :0,0 #Lob_12_0");
        Reply(Lobby::kJoin, ":s 353 bob = #Lob_12_0 :" + names, Delivery::Start);
        Reply(Lobby::kJoin, ":s 366 bob #Lob_12_0 :End of /NAMES list.", Delivery::End);
    }
    std::vector<std::string> Members() const {
        std::vector<std::string> out;
        for (const LobbyMember& m : lobby->Members()) out.push_back(m.nick);
        return out;
    }
    int Count(int row) const { return lobby->Row(row)->users; }
    std::string LastEntry() const { return view.entries.empty() ? "" : view.entries.back(); }

    test::FakeSettings settings;
    FakeLobbyView view;
    std::shared_ptr<test::RecordingLink> link = std::make_shared<test::RecordingLink>();
    IgnoreList ignores;
    std::unique_ptr<Lobby> lobby = std::make_unique<Lobby>(view, ignores);
};

using Strings = std::vector<std::string>;

TEST_F(LobbyCore, listJoinMoveAndCloseGoOutInOrderWithTheirReplies) {
    settings.numbers["ChatLobbyEvents"] = 0;  // the four intercepts alone
    lobby->ConnectChat();
    EXPECT_EQ(view.status, "Requesting lobby list...");
    ASSERT_EQ(link->replies.size(), 1u);
    const ReplySpec& list = link->replies[0].reply;
    EXPECT_EQ(JoinCodes(list.codes) + "|" + std::string(list.start) + "|" + std::string(list.end),
              "327|321|323");
    EXPECT_EQ(std::any_cast<int>(list.param), Lobby::kList);

    ListLobbies();
    ASSERT_EQ(lobby->Lobbies().size(), 2u);  // "_13_" is no lobby
    EXPECT_EQ(lobby->Row(2)->name + " " + lobby->Row(2)->channel, "Orchid Talk #Lob_12_5");
    EXPECT_EQ(lobby->CurrentLobby(), 1);
    EXPECT_EQ(view.status, "Joining channel Azure Barracks...");
    EXPECT_EQ(link->Last(), "JOIN #Lob_12_0 plumvex4");
    const ReplySpec& join = link->replies.back().reply;
    EXPECT_EQ(std::string(join.start) + "|" + std::string(join.end), "353|366");
    EXPECT_EQ(std::any_cast<int>(join.param), Lobby::kJoin);
    EXPECT_EQ(link->intercepts,
              (std::map<std::string, int, std::less<>>{{"JOIN", Lobby::kJoined},
                                                       {"PART", Lobby::kLeft},
                                                       {"PRIVMSG", Lobby::kMessage},
                                                       {"QUIT", Lobby::kQuit}}));
    EXPECT_FALSE(lobby->ChatActive());

    Relay(":bob!u@h JOIN :0,0 #Lob_12_0");
    EXPECT_TRUE(lobby->ChatActive() && view.controls);
    EXPECT_EQ(view.status, "Chat is active.");
    EXPECT_EQ(LastEntry(), "5 Joined channel Azure Barracks");

    // A click on the current lobby does nothing; another one leaves, and the JOIN follows the
    // echo of the own PART. Clicks while the move is under way do nothing.
    const std::size_t before = link->sent.size();
    lobby->MoveTo(1);
    EXPECT_EQ(link->sent.size(), before);
    lobby->MoveTo(2);
    EXPECT_EQ(link->Last(), "PART #Lob_12_0");
    EXPECT_EQ(view.status, "Leaving channel Azure Barracks...");
    EXPECT_EQ(lobby->PreviousLobby() * 10 + lobby->CurrentLobby(), 12);
    lobby->MoveTo(1);
    EXPECT_EQ(lobby->CurrentLobby(), 2);
    Relay(":bob!u@h PART #Lob_12_0");
    EXPECT_EQ(LastEntry(), "5 Left channel Azure Barracks");
    EXPECT_EQ(view.rows.back(), 1);  // logged with the lobby left
    EXPECT_FALSE(view.controls);
    EXPECT_EQ(view.status, "Joining channel Orchid Talk...");
    EXPECT_EQ(link->Last(), "JOIN #Lob_12_5 plumvex4");
    Relay(":bob!u@h JOIN :0,0 #Lob_12_5");
    EXPECT_EQ(LastEntry(), "5 Joined channel Orchid Talk");

    lobby->Close();
    EXPECT_EQ(link->Last(), "PART #Lob_12_5");
    EXPECT_TRUE(link->intercepts.empty());
    const std::size_t closed = link->sent.size();
    lobby->Close();
    lobby->ConnectChat();
    EXPECT_EQ(link->sent.size(), closed);
}

// A lobby asked for from elsewhere (a buddy's location) by its number: joined in place of the
// first one when the list has not come, moved to through PART and JOIN from another, and held
// back while a join is under way.
TEST_F(LobbyCore, aLobbyAskedForByNumberIsJoinedOrMovedToThroughPartAndJoin) {
    struct Step {
        const char* what;
        std::function<void(LobbyCore&)> run;
        Strings sent;  // since the step began
        bool underWay;
    };
    const auto join = [](int number) {
        return [number](LobbyCore& t) { t.lobby->JoinLobby(number); };
    };
    const auto relay = [](std::string line) { return [line](LobbyCore& t) { t.Relay(line); }; };
    const std::vector<Step> steps = {
        {"asked before the list",
         [](LobbyCore& t) {
             t.lobby->ConnectChat();
             t.lobby->JoinLobby(5);
         },
         {"LIST 0 12"},
         true},
        {"the list's end joins it, not the first",
         [](LobbyCore& t) {
             t.Reply(Lobby::kList, ":s 327 bob #Lob_12_0 4 0 1");
             t.Reply(Lobby::kList, ":s 327 bob #Lob_12_5 2 0 1");
             t.Reply(Lobby::kList, ":s 323 bob :End of /LIST", Delivery::End);
         },
         {"JOIN #Lob_12_5 plumvex4"},
         true},
        {"asked again while joining", join(0), {}, true},
        {"joined: on to the one asked last",
         relay(":bob!u@h JOIN :0,0 #Lob_12_5"),
         {"PART #Lob_12_5"},
         true},
        {"the PART's echo", relay(":bob!u@h PART #Lob_12_5"), {"JOIN #Lob_12_0 plumvex4"}, true},
        {"in", relay(":bob!u@h JOIN :0,0 #Lob_12_0"), {}, false},
        {"the lobby the user is in", join(0), {}, false},
        {"one the service does not list", join(3), {}, false},
        {"one no client knows", join(10), {}, false},
        {"another", join(5), {"PART #Lob_12_0"}, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const std::size_t before = link->sent.size();
        step.run(*this);
        EXPECT_EQ(Strings(link->sent.begin() + std::ptrdiff_t(before), link->sent.end()),
                  step.sent);
        EXPECT_EQ(lobby->MoveUnderWay(), step.underWay);
    }
    EXPECT_EQ(std::count(view.entries.begin(), view.entries.end(), "5 Iron Hand is not open."), 1);
    EXPECT_EQ(lobby->CurrentLobby(), 2);
    lobby->Close();
    EXPECT_FALSE(lobby->MoveUnderWay());
}

TEST_F(LobbyCore, membersJoinAndLeaveAndTheCountFollowsTheList) {
    EnterLobby("carl @op bob,0,0 @ ,x");
    EXPECT_EQ(Members(), (Strings{"op", "carl", "bob"}));
    EXPECT_EQ(Count(1), 3);
    struct Case {
        const char* line;
        Strings members;
    };
    const Case cases[] = {
        {":dave!u@h JOIN :0,0 #Lob_12_0", {"op", "carl", "bob", "dave"}},
        {":DAVE!u@h JOIN :0,0 #Lob_12_0", {"op", "carl", "bob", "dave"}},  // listed once
        {":Carl!u@h PART #Lob_12_0", {"op", "bob", "dave"}},
        {":nobody!u@h PART #Lob_12_0", {"op", "bob", "dave"}},
        {":op!u@h QUIT :gone", {"bob", "dave"}},
        {":nobody!u@h QUIT :gone", {"bob", "dave"}},
        {"PART", {"bob", "dave"}},
        {": JOIN", {"bob", "dave"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Relay(c.line);
        EXPECT_EQ(Members(), c.members);
        EXPECT_EQ(Count(1), int(c.members.size()));
    }
}

TEST_F(LobbyCore, chosenRecipientsGetTheLineAndOthersGoToTheLobby) {
    EnterLobby("@op bob carl dave");
    link->sent.clear();
    lobby->Send("hi all", false);
    lobby->ToggleRecipient("dave");
    lobby->ToggleRecipient("op");
    EXPECT_TRUE(lobby->FindMember("OP")->recipient);
    lobby->Send("psst", false);
    lobby->Send("nods", true);
    lobby->ToggleRecipient("op");
    lobby->ToggleRecipient("dave");
    lobby->Send("waves", true);
    EXPECT_EQ(link->sent, (Strings{"PRIVMSG #Lob_12_0 :hi all", "PRIVMSG op,dave :psst",
                                   "PRIVMSG op,dave :\x01"
                                   "ACTIONnods\x01",
                                   "PRIVMSG #Lob_12_0 :\x01"
                                   "ACTIONwaves\x01"}));
    EXPECT_EQ(Strings(view.entries.end() - 4, view.entries.end()),
              (Strings{"1 bob: hi all", "3 bob: psst", "3 bob nods", "4 bob waves"}));

    // Lines to the user, in any letter case of the nickname, are private; others by kind.
    Relay(":ann!u@h PRIVMSG BOB :psst");
    Relay(
        ":ann!u@h PRIVMSG bob :\x01"
        "ACTIONwinks\x01");
    Relay(
        ":ann!u@h PRIVMSG #Lob_12_0 :\x01"
        "ACTIONwaves\x01");
    Relay(":ann!u@h PRIVMSG #Lob_12_0 :hello");
    Relay(":ann!u@h PRIVMSG #Lob_12_0");  // no text: nothing
    EXPECT_EQ(Strings(view.entries.end() - 4, view.entries.end()),
              (Strings{"3 ann: psst", "3 ann winks", "4 ann waves", "0 ann: hello"}));
}

TEST_F(LobbyCore, aLobbyChangeStartsAfreshInTheNewLobby) {
    EnterLobby("@op bob carl");
    lobby->ToggleRecipient("carl");
    lobby->MoveTo(2);
    Relay(":dave!u@h JOIN :0,0 #Lob_12_0");  // still in the old lobby until the own PART
    Relay(":bob!u@h PART #Lob_12_0");
    EXPECT_EQ(Count(1), 3);  // the members less the user
    EXPECT_TRUE(Members().empty());
    Relay(":bob!u@h JOIN :0,0 #Lob_12_5");
    Reply(Lobby::kJoin, ":s 353 bob = #Lob_12_5 :carl bob", Delivery::Start);
    Reply(Lobby::kJoin, ":s 366 bob #Lob_12_5 :End", Delivery::End);
    EXPECT_EQ(Members(), (Strings{"carl", "bob"}));
    EXPECT_FALSE(lobby->FindMember("carl")->recipient);  // chosen in the other lobby
    EXPECT_EQ(Count(2), 2);
    lobby->Send("hello", false);
    EXPECT_EQ(link->Last(), "PRIVMSG #Lob_12_5 :hello");

    // Put out by the service without a move: joins the same lobby again.
    Relay(":bob!u@h PART #Lob_12_5");
    EXPECT_EQ(LastEntry(), "5 Left channel Orchid Talk");
    EXPECT_EQ(link->Last(), "JOIN #Lob_12_5 plumvex4");
}

TEST_F(LobbyCore, theLinkGoingDownRefusesLinesAndComingBackJoinsAgain) {
    EnterLobby();
    EXPECT_FALSE(lobby->RefuseSend());
    lobby->LinkDown();
    EXPECT_EQ(LastEntry(), "5 Connection lost.");
    EXPECT_EQ(view.status, "Chat is inactive.");
    EXPECT_TRUE(Members().empty() && !lobby->ChatActive());
    EXPECT_TRUE(lobby->RefuseSend());
    EXPECT_EQ(LastEntry(), "5 Not connected: the line was not sent.");
    lobby->LinkRestored();
    EXPECT_EQ(LastEntry(), "5 Reconnected.");
    EXPECT_EQ(link->Last(), "JOIN #Lob_12_0 plumvex4");
    // Down again, the window closes: no PART into a dead link.
    lobby->LinkDown();
    const std::size_t before = link->sent.size();
    lobby->Close();
    EXPECT_EQ(link->sent.size(), before);
}

TEST_F(LobbyCore, everyNamesLineOfTheReplyIsListedAndCounted) {
    ListLobbies();
    EXPECT_EQ(JoinCodes(link->replies.back().reply.codes), "475,353");
    Relay(":bob!u@h JOIN :0,0 #Lob_12_0");
    Reply(Lobby::kJoin, ":s 353 bob = #Lob_12_0 :ann @op", Delivery::Start);
    Reply(Lobby::kJoin, ":s 353 bob = #lob_12_0 :bob carl");
    Reply(Lobby::kJoin, ":s 353 bob = #Lob_12_0 :dave");
    const int draws = view.memberDraws;
    Reply(Lobby::kJoin, ":s 366 bob #Lob_12_0 :End of /NAMES list.", Delivery::End);
    EXPECT_EQ(Members(), (Strings{"op", "ann", "bob", "carl", "dave"}));
    EXPECT_EQ(Count(1), 5);
    EXPECT_EQ(view.memberDraws, draws + 1);  // the count goes with the members

    // A second JOIN's reply starts afresh; late lines of the lobby left are not this one's.
    lobby->MoveTo(2);
    Reply(Lobby::kJoin, ":s 353 bob = #Lob_12_0 :late");
    Relay(":bob!u@h PART #Lob_12_0");
    Relay(":bob!u@h JOIN :0,0 #Lob_12_5");
    Reply(Lobby::kJoin, ":s 353 bob = #Lob_12_0 :later", Delivery::Start);
    Reply(Lobby::kJoin, ":s 353 bob = #Lob_12_5 :bob", Delivery::Start);
    Reply(Lobby::kJoin, ":s 353 bob = #Lob_12_5 :eve");
    Reply(Lobby::kJoin, ":s 366 bob #Lob_12_0 :End of /NAMES list.", Delivery::End);
    EXPECT_EQ(Count(2), 0);  // as the own JOIN left it, not set by the other lobby's end
    Reply(Lobby::kJoin, ":s 366 bob #Lob_12_5 :End of /NAMES list.", Delivery::End);
    EXPECT_EQ(Members(), (Strings{"bob", "eve"}));
    EXPECT_EQ(Count(1) * 10 + Count(2), 42);
}

TEST_F(LobbyCore, renamesKeepTheEntryItsMarkAndItsChoice) {
    EnterLobby("@op bob carl dave");
    lobby->ToggleRecipient("carl");
    struct Case {
        const char* line;
        Strings members;
        const char* notice;  // nullptr: none
        Strings recipients;
    };
    const Case cases[] = {
        {":dave!u@h NICK davey",
         {"op", "bob", "carl", "davey"},
         "5 dave is now known as davey",
         {"carl"}},
        {":carl!u@h NICK :Carlos",
         {"op", "bob", "Carlos", "davey"},
         "5 carl is now known as Carlos",
         {"Carlos"}},
        {":op!u@h NICK boss",
         {"boss", "bob", "Carlos", "davey"},
         "5 op is now known as boss",
         {"Carlos"}},
        {":bob!u@h NICK bobby",
         {"boss", "bobby", "Carlos", "davey"},
         "5 bob is now known as bobby",
         {"Carlos"}},
        {":zed!u@h NICK zedd", {"boss", "bobby", "Carlos", "davey"}, nullptr, {"Carlos"}},
        {":davey!u@h NICK CARLOS",
         {"boss", "bobby", "CARLOS"},
         "5 davey is now known as CARLOS",
         {}},
        {":x!u@h NICK", {"boss", "bobby", "CARLOS"}, nullptr, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::size_t entries = view.entries.size();
        Relay(c.line);
        EXPECT_EQ(Members(), c.members);
        EXPECT_EQ(view.entries.size(), entries + (c.notice ? 1 : 0));
        if (c.notice) {
            EXPECT_EQ(LastEntry(), c.notice);
        }
        Strings recipients;
        for (const LobbyMember& m : lobby->Members()) {
            if (m.recipient) recipients.push_back(m.nick);
        }
        EXPECT_EQ(recipients, c.recipients);
        EXPECT_EQ(Count(1), int(c.members.size()));
    }
    EXPECT_TRUE(lobby->FindMember("boss")->op);
    // The user's own: the lobby's idea of the user follows; a page conversation follows anyone.
    EXPECT_EQ(lobby->User(), "bobby");
    EXPECT_EQ(view.renames, 1);
    EXPECT_EQ(link->renames, (Strings{"dave>davey", "carl>Carlos", "op>boss", "bob>bobby",
                                      "zed>zedd", "davey>CARLOS"}));
    Relay(":bobby!u@h PART #Lob_12_0");  // the user's, under the new name: a rejoin
    EXPECT_EQ(LastEntry(), "5 Left channel Azure Barracks");
}

TEST_F(LobbyCore, removalsTakeTheMemberOutAndTheUserOutOfTheLobby) {
    EnterLobby("@ann bob carl u0010");
    struct Case {
        const char* line;
        Strings members;
        const char* notice;
    };
    const Case cases[] = {
        {":u0002!u@h KICK #Lob_12_0 u0010 :bye",
         {"ann", "bob", "carl"},
         "5 u0010 was removed by u0002 (bye)"},
        {":ann!u@h KICK #Lob_12_0 Carl", {"ann", "bob"}, "5 Carl was removed by ann"},
        {":ann!u@h KICK #Lob_12_0 nobody :who", {"ann", "bob"}, nullptr},
        {":ann!u@h KICK #Lob_12_5 bob :elsewhere", {"ann", "bob"}, nullptr},
        {":ann!u@h KICK #Lob_12_0", {"ann", "bob"}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::size_t entries = view.entries.size();
        Relay(c.line);
        EXPECT_EQ(Members(), c.members);
        EXPECT_EQ(Count(1), int(c.members.size()));
        EXPECT_EQ(view.entries.size(), entries + (c.notice ? 1 : 0));
        if (c.notice) {
            EXPECT_EQ(LastEntry(), c.notice);
        }
    }

    const std::size_t sent = link->sent.size();
    Relay(":ann!u@h KICK #Lob_12_0 Bob :go away");
    EXPECT_EQ(LastEntry(), "-1 You were removed from Azure Barracks by ann (go away)");
    EXPECT_TRUE(Members().empty());
    EXPECT_EQ(Count(1), 1);
    EXPECT_TRUE(lobby->Removed() && !lobby->ChatActive() && !view.controls);
    EXPECT_EQ(view.status, "Chat is inactive.");
    EXPECT_TRUE(lobby->RefuseSend());
    EXPECT_EQ(LastEntry(), "5 Not in a lobby: the line was not sent.");
    lobby->LinkDown();
    lobby->LinkRestored();  // no rejoin of its own, not even after a reconnect
    EXPECT_EQ(link->sent.size(), sent);

    lobby->MoveTo(1);  // a click joins again, the lobby left too
    EXPECT_EQ(link->Last(), "JOIN #Lob_12_0 plumvex4");
    EXPECT_FALSE(lobby->Removed());
    Relay(":bob!u@h JOIN :0,0 #Lob_12_0");
    EXPECT_TRUE(lobby->ChatActive() && view.controls);

    // Removed from the lobby being left: the move goes on.
    lobby->MoveTo(2);
    Relay(":ann!u@h KICK #Lob_12_0 bob :not you again");
    EXPECT_EQ(LastEntry(), "-1 You were removed from Azure Barracks by ann (not you again)");
    EXPECT_EQ(link->Last(), "JOIN #Lob_12_5 plumvex4");
    EXPECT_FALSE(lobby->Removed());
}

TEST_F(LobbyCore, topicsAndModesNeverFailAndATopicIsToldOnce) {
    EnterLobby();
    EXPECT_EQ(link->intercepts.count("NICK") + link->intercepts.count("KICK") +
                  link->intercepts.count("TOPIC") + link->intercepts.count("332"),
              4u);
    EXPECT_EQ(link->intercepts.count("MODE") + link->intercepts.count("333"), 0u);
    Relay(":s 332 bob #Lob_12_0 :Mind the mines");
    Relay(":s 332 bob #Lob_12_0 :Mind the mines");  // again, as on every join
    Relay(":ann!u@h TOPIC #Lob_12_5 :another lobby's");
    Relay(":ann!u@h TOPIC #Lob_12_0 :New maps: www.example.org");
    Relay(":ann!u@h TOPIC #Lob_12_0");
    Relay(":s 332 bob");
    EXPECT_EQ(Strings(view.entries.end() - 2, view.entries.end()),
              (Strings{"5 Topic: Mind the mines", "5 Topic: New maps: www.example.org"}));
    // Lines the lobby does not take, handed to it anyway as a reply under way or under an
    // intercept that reads its command word: nothing happens.
    const std::size_t entries = view.entries.size();
    for (const int request : {0, int(Lobby::kList), int(Lobby::kJoin), int(Lobby::kNick),
                              int(Lobby::kKick), int(Lobby::kTopic), 10}) {
        for (const char* line :
             {":ann!u@h MODE #Lob_12_0 +o bob", ":s 333 bob #Lob_12_0 ann 1700000000",
              ":s 332 bob #Lob_12_0", "TOPIC", ":s 366", ":s 353 bob =", ""}) {
            Reply(request, line);
        }
    }
    EXPECT_EQ(view.entries.size(), entries);
    EXPECT_EQ(Members(), (Strings{"op", "bob", "carl"}));
}

// With bob ignored: his lines, emotes and private messages in any letter case are dropped
// before they become entries (so nothing is notified or logged either); bobby, the operator
// talking about him and the user's own lines are shown. He stays listed, marked.
TEST_F(LobbyCore, anIgnoredUsersLinesAreDroppedAndHeStaysListedMarked) {
    lobby->SetUser("me");
    ListLobbies();
    Relay(":me!u@h JOIN :0,0 #Lob_12_0");
    Reply(Lobby::kJoin, ":s 353 me = #Lob_12_0 :me BOB bobby @op", Delivery::Start);
    Reply(Lobby::kJoin, ":s 366 me #Lob_12_0 :End of /NAMES list.", Delivery::End);
    const int draws = view.memberDraws;
    lobby->SetIgnored("bob", true);
    EXPECT_EQ(ignores.Names(), Strings{"bob"});
    EXPECT_GT(view.memberDraws, draws);
    const auto marked = [this] {
        Strings out;
        for (const LobbyMember& m : lobby->Members())
            out.push_back(m.nick + (m.ignored ? "*" : ""));
        return out;
    };
    EXPECT_EQ(marked(), (Strings{"op", "me", "BOB*", "bobby"}));

    const struct {
        const char* line;
        const char* entry;  // nullptr: hidden
    } cases[] = {
        {":BOB!u@h PRIVMSG #Lob_12_0 :hello", nullptr},
        {":Bob!u@h PRIVMSG #Lob_12_0 :\x01"
         "ACTIONwaves\x01",
         nullptr},
        {":bob!u@h PRIVMSG me :psst", nullptr},
        {":BOB!u@h PRIVMSG ME :\x01"
         "ACTIONwinks\x01",
         nullptr},
        {":bobby!u@h PRIVMSG #Lob_12_0 :hello", "0 bobby: hello"},
        {":bobby!u@h PRIVMSG me :psst", "3 bobby: psst"},
        {":op!u@h PRIVMSG #Lob_12_0 :bob, stop", "0 op: bob, stop"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const std::size_t entries = view.entries.size();
        Relay(c.line);
        EXPECT_EQ(view.entries.size(), entries + (c.entry ? 1 : 0));
        if (c.entry) {
            EXPECT_EQ(LastEntry(), c.entry);
        }
    }
    lobby->Send("hi all", false);
    EXPECT_EQ(LastEntry(), "1 me: hi all");

    // The user is never ignored, not even put on the list by hand.
    lobby->SetIgnored("ME", true);
    EXPECT_EQ(ignores.Names(), Strings{"bob"});
    ignores.Add("Me");
    EXPECT_FALSE(lobby->Ignored("me"));
    Relay(":me!u@h PRIVMSG #Lob_12_0 :as the service hands it back");
    EXPECT_EQ(LastEntry(), "0 me: as the service hands it back");
    ignores.Remove("me");

    // Unignored: his new lines show again, and the mark goes.
    lobby->SetIgnored("BOB", false);
    EXPECT_TRUE(ignores.Empty());
    Relay(":BOB!u@h PRIVMSG #Lob_12_0 :back");
    EXPECT_EQ(LastEntry(), "0 BOB: back");
    EXPECT_EQ(marked(), (Strings{"op", "me", "BOB", "bobby"}));
}

// One note per ignored sender and visit, however many lines, taken once the lines at hand are
// done; a new visit to a lobby may earn one again.
TEST_F(LobbyCore, hiddenLinesEarnOneNotePerSenderAndVisit) {
    EnterLobby("@op bob carl dave");
    ignores.Add("carl");
    ignores.Add("dave");
    EXPECT_EQ(lobby->TakeHiddenNote(), "");
    for (int i = 0; i < 500; ++i) Relay(":carl!u@h PRIVMSG #Lob_12_0 :flood " + std::to_string(i));
    Relay(":Dave!u@h PRIVMSG bob :psst");
    EXPECT_EQ(view.hiddenCalls, 1);  // one wake-up for the batch, not one a line
    EXPECT_EQ(lobby->TakeHiddenNote(),
              "500 lines from carl were hidden; 1 line from Dave was hidden");
    EXPECT_EQ(lobby->TakeHiddenNote(), "");
    Relay(":carl!u@h PRIVMSG #Lob_12_0 :more");
    EXPECT_EQ(view.hiddenCalls, 1);
    EXPECT_EQ(lobby->TakeHiddenNote(), "");
    EXPECT_EQ(LastEntry(), "5 Joined channel Azure Barracks");

    lobby->MoveTo(2);
    Relay(":bob!u@h PART #Lob_12_0");
    Relay(":bob!u@h JOIN :0,0 #Lob_12_5");
    Relay(":carl!u@h PRIVMSG #Lob_12_5 :hello again");
    EXPECT_EQ(view.hiddenCalls, 2);
    EXPECT_EQ(lobby->TakeHiddenNote(), "1 line from carl was hidden");
}

// The view lets window events run inside an entry; a close among them (the user's click) or the
// window going away with its lobby ends the handler there: nothing more is sent or told.
TEST_F(LobbyCore, aHandlerThatClosesTheLobbyGoesNoFurther) {
    struct Case {
        const char* name;
        std::function<void(LobbyCore&)> prepare;
        std::function<void(LobbyCore&)> run;  // shows an entry, then would go on
        Strings sentByClose;                  // after run began, when closed rather than destroyed
    };
    const auto nothing = [](LobbyCore&) {};
    const Case cases[] = {
        {"own join",
         nothing,
         [](LobbyCore& t) { t.Relay(":bob!u@h JOIN :0,0 #Lob_12_0"); },
         {"PART #Lob_12_0"}},
        {"put out, no rejoin",
         nothing,
         [](LobbyCore& t) { t.Relay(":bob!u@h PART #Lob_12_0"); },
         {"PART #Lob_12_0"}},
        {"a line, not sent",
         nothing,
         [](LobbyCore& t) { t.lobby->Send("bye", false); },
         {"PART #Lob_12_0"}},
        {"reconnected, no join",
         [](LobbyCore& t) { t.lobby->LinkDown(); },
         [](LobbyCore& t) { t.lobby->LinkRestored(); },
         {"PART #Lob_12_0"}},
        {"down, nothing into the dead link",
         nothing,
         [](LobbyCore& t) { t.lobby->LinkDown(); },
         {}},
    };
    for (const bool destroy : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (destroy ? ", destroyed" : ", closed"));
            view = {};
            *link = {};
            lobby = std::make_unique<Lobby>(view);
            lobby->SetWOL(link);
            lobby->SetUser("bob");
            EnterLobby();
            c.prepare(*this);
            const std::size_t entries = view.entries.size();
            const std::size_t sent = link->sent.size();
            view.onEntry = [this, destroy] {
                view.onEntry = nullptr;
                if (destroy) {
                    lobby.reset();
                } else {
                    lobby->Close();
                }
            };
            c.run(*this);
            EXPECT_EQ(view.entries.size(), entries + 1);
            EXPECT_EQ(Strings(link->sent.begin() + std::ptrdiff_t(sent), link->sent.end()),
                      destroy ? Strings{} : c.sentByClose);
            EXPECT_TRUE(link->intercepts.empty());
            if (!lobby) lobby = std::make_unique<Lobby>(view);
        }
    }
}

}  // namespace
}  // namespace vantor
