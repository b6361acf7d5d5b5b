// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/lobby_names.h"

namespace vantor {

// The key every lobby JOIN carries.
inline constexpr std::string_view kLobbyKey = "plumvex4";

// The replies and relayed lines of the lobbies.
namespace reply {
inline constexpr std::string_view kListStart = "321";
inline constexpr std::string_view kListItem = "327";
inline constexpr std::string_view kListEnd = "323";
inline constexpr std::string_view kNames = "353";
inline constexpr std::string_view kNamesEnd = "366";
inline constexpr std::string_view kBadChannelKey = "475";
inline constexpr std::string_view kTopic = "332";
}  // namespace reply
namespace relayed {
inline constexpr std::string_view kPrivmsg = "PRIVMSG";
inline constexpr std::string_view kJoin = "JOIN";
inline constexpr std::string_view kPart = "PART";
inline constexpr std::string_view kQuit = "QUIT";
inline constexpr std::string_view kNick = "NICK";
inline constexpr std::string_view kKick = "KICK";
inline constexpr std::string_view kTopic = "TOPIC";
}  // namespace relayed

// The nickname of a relayed line's sender: field 0 without its ":", up to the first "!".
std::string SenderOf(std::string_view line);

// One "327" lobby row. Only "_12_" channels with a lobby number 0 to 9 are lobbies.
struct LobbyRow {
    int number = 0;
    std::string channel;
    int users = 0;  // 0 when the count is missing or not a number
};
std::optional<LobbyRow> ParseLobbyRow(std::string_view line);

// A name of a "353" names reply.
struct NamesEntry {
    std::string nick;
    bool op = false;
};
std::vector<NamesEntry> ParseNames(std::string_view line);
// The channel a "353" names line or a "366" end of names is about; empty when it has none.
std::string_view NamesChannel(std::string_view line);

// A relayed NICK: ":old!u@h NICK new" (the new name with or without a ":").
struct Rename {
    std::string from;
    std::string to;
};
std::optional<Rename> ParseRename(std::string_view line);

// A relayed KICK: ":by!u@h KICK #channel nick :reason" (the reason may be missing).
struct Removal {
    std::string by;
    std::string channel;
    std::string nick;
    std::string reason;
};
std::optional<Removal> ParseRemoval(std::string_view line);

// A topic: relayed ":by!u@h TOPIC #channel :text" or the reply ":s 332 nick #channel :text".
struct Topic {
    std::string channel;
    std::string text;
};
std::optional<Topic> ParseTopic(std::string_view line);

// A relayed PRIVMSG; an emote is the text wrapped in 0x01 "ACTION" ... 0x01.
struct ChatMessage {
    std::string sender;
    std::string target;
    std::string text;
    bool emote = false;
};
std::optional<ChatMessage> ParseMessage(std::string_view line);

// Outgoing commands.
std::string ListCommand();
std::string JoinCommand(std::string_view channel);
std::string PartCommand(std::string_view channel);
std::string MessageCommand(std::string_view target, std::string_view text);
std::string EmoteCommand(std::string_view target, std::string_view text);

}  // namespace vantor
