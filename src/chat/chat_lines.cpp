// SPDX-License-Identifier: MIT
#include "chat/chat_lines.h"

namespace vantor {

namespace {

constexpr std::string_view kActionStart =
    "\x01"
    "ACTION";

std::string_view DropColon(std::string_view field) {
    if (!field.empty() && field.front() == ':') field.remove_prefix(1);
    return field;
}

// Whole field of decimal digits, small enough to hold; anything else is not a number.
std::optional<int> SmallNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

std::vector<std::string_view> SplitFields(std::string_view line, std::size_t maxFields) {
    std::vector<std::string_view> fields;
    while (true) {
        if (maxFields > 0 && fields.size() + 1 == maxFields) break;
        const auto space = line.find(' ');
        if (space == std::string_view::npos) break;
        fields.push_back(line.substr(0, space));
        line.remove_prefix(space + 1);
    }
    fields.push_back(line);
    return fields;
}

std::string LowerWire(std::string_view text) {
    std::string out(text);
    for (char& ch : out) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
            ch = static_cast<char>(c + 0x20);
        } else if (c == 0x8A || c == 0x8C || c == 0x8E) {
            ch = static_cast<char>(c + 0x10);
        } else if (c == 0x9F) {
            ch = static_cast<char>(0xFF);
        }
    }
    return out;
}

std::string SenderOf(std::string_view line) {
    std::string_view prefix = line.substr(0, line.find(' '));
    prefix = DropColon(prefix);
    return std::string(prefix.substr(0, prefix.find('!')));
}

std::optional<LobbyRow> ParseLobbyRow(std::string_view line) {
    const auto fields = SplitFields(line);
    if (fields.size() < 4 || fields[1] != "327") return std::nullopt;
    const std::string_view channel = fields[3];
    std::vector<std::string_view> pieces;
    for (std::string_view rest = channel;;) {
        const auto cut = rest.find('_');
        pieces.push_back(rest.substr(0, cut));
        if (cut == std::string_view::npos) break;
        rest.remove_prefix(cut + 1);
    }
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
    const auto fields = SplitFields(line, 6);
    if (fields.size() < 6 || fields[1] != "353") return names;
    for (std::string_view name : SplitFields(DropColon(fields[5]))) {
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

std::optional<ChatMessage> ParseMessage(std::string_view line) {
    const auto fields = SplitFields(line, 4);
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
