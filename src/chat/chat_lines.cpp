// SPDX-License-Identifier: MIT
#include "chat/chat_lines.h"

#include "common/wire_text.h"

namespace vantor {

namespace {

constexpr std::string_view kActionStart =
    "\x01"
    "ACTION";

std::string_view DropColon(std::string_view field) {
    if (!field.empty() && field.front() == ':') field.remove_prefix(1);
    return field;
}

}  // namespace

std::string SenderOf(std::string_view line) {
    const std::string_view prefix = DropColon(WordAt(line, 0));
    return std::string(prefix.substr(0, prefix.find('!')));
}

std::optional<LobbyRow> ParseLobbyRow(std::string_view line) {
    const auto fields = SplitWords(line);
    if (fields.size() < 4 || fields[1] != "327") return std::nullopt;
    const std::string_view channel = fields[3];
    const auto pieces = SplitOn(channel, '_');
    if (pieces.size() < 3 || pieces[1] != "12") return std::nullopt;
    const auto number = SmallNumber(pieces[2]);
    if (!number || *number >= static_cast<int>(LobbyNames.size())) return std::nullopt;
    LobbyRow row;
    row.number = *number;
    row.channel = std::string(channel);
    if (fields.size() > 4) row.users = SmallNumber(fields[4]).value_or(0);
    return row;
}

std::vector<NamesEntry> ParseNames(std::string_view line) {
    std::vector<NamesEntry> names;
    const auto fields = SplitWords(line, 6);
    if (fields.size() < 6 || fields[1] != "353") return names;
    for (std::string_view name : SplitWords(DropColon(fields[5]))) {
        name = name.substr(0, name.find(','));
        NamesEntry entry;
        if (!name.empty() && name.front() == '@') {
            entry.op = true;
            name.remove_prefix(1);
        }
        if (name.empty()) continue;
        entry.nick = std::string(name);
        names.push_back(std::move(entry));
    }
    return names;
}

std::string_view NamesChannel(std::string_view line) {
    const std::string_view code = WordAt(line, 1);
    if (code == reply::kNames) return WordAt(line, 4, 6);
    if (code == reply::kNamesEnd) return WordAt(line, 3, 5);
    return {};
}

std::optional<Rename> ParseRename(std::string_view line) {
    const auto fields = SplitWords(line, 4);
    if (fields.size() < 3 || fields[1] != relayed::kNick) return std::nullopt;
    Rename rename{.from = SenderOf(line), .to = std::string(DropColon(fields[2]))};
    if (rename.from.empty() || rename.to.empty()) return std::nullopt;
    return rename;
}

std::optional<Removal> ParseRemoval(std::string_view line) {
    const auto fields = SplitWords(line, 5);
    if (fields.size() < 4 || fields[1] != relayed::kKick) return std::nullopt;
    Removal removal{.by = SenderOf(line),
                    .channel = std::string(fields[2]),
                    .nick = std::string(fields[3]),
                    .reason = fields.size() > 4 ? std::string(DropColon(fields[4])) : ""};
    if (removal.nick.empty()) return std::nullopt;
    return removal;
}

std::optional<Topic> ParseTopic(std::string_view line) {
    // The relayed line names the channel third, the reply fourth (after the user's nickname).
    const std::string_view word = WordAt(line, 1);
    const std::size_t channel = word == relayed::kTopic ? 2 : (word == reply::kTopic ? 3 : 0);
    if (channel == 0) return std::nullopt;
    const auto fields = SplitWords(line, channel + 2);
    if (fields.size() < channel + 2) return std::nullopt;
    Topic topic{.channel = std::string(fields[channel]),
                .text = std::string(DropColon(fields[channel + 1]))};
    if (topic.text.empty()) return std::nullopt;
    return topic;
}

std::optional<ChatMessage> ParseMessage(std::string_view line) {
    const auto fields = SplitWords(line, 4);
    if (fields.size() < 4) return std::nullopt;
    ChatMessage msg;
    msg.sender = SenderOf(line);
    if (msg.sender.empty()) return std::nullopt;
    msg.target = std::string(fields[2]);
    std::string_view text = DropColon(fields[3]);
    if (text.size() > kActionStart.size() && text.starts_with(kActionStart) &&
        text.back() == '\x01') {
        msg.emote = true;
        text = text.substr(kActionStart.size(), text.size() - kActionStart.size() - 1);
    }
    msg.text = std::string(text);
    return msg;
}

std::string ListCommand() {
    return "LIST 0 12";
}

std::string JoinCommand(std::string_view channel) {
    return "JOIN " + std::string(channel) + " " + std::string(kLobbyKey);
}

std::string PartCommand(std::string_view channel) {
    return "PART " + std::string(channel);
}

std::string MessageCommand(std::string_view target, std::string_view text) {
    return "PRIVMSG " + std::string(target) + " :" + std::string(text);
}

std::string EmoteCommand(std::string_view target, std::string_view text) {
    return "PRIVMSG " + std::string(target) + " :" + std::string(kActionStart) + std::string(text) +
           "\x01";
}

}  // namespace vantor
