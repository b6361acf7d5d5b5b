// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace vantor {

// Entry kinds of the conversation; the numbers are the classic ones, and pick the colour.
enum class EntryKind : int { Error = -1, In = 0, Out = 1, Private = 3, Emote = 4, Notify = 5 };

// One entry of the conversation. Texts are Windows-1252 bytes.
struct LobbyEntry {
    EntryKind kind = EntryKind::Notify;
    std::string head{};       // what goes before the text: "ann: ", "ann "; empty for a notice
    std::string body{};       // the text
    std::string sender{};     // who wrote it; empty for the user's own lines and notices
    bool fromOthers = false;  // a line of someone else's: the user's nickname is marked in it
    bool toUser = false;      // a private line to the user
    int row = 0;              // the lobby (1-based row) the entry belongs to, for its log
};

// One user of the current lobby.
struct LobbyMember {
    std::string nick{};      // as the service spells it
    bool op = false;         // came with a leading "@"
    bool recipient = false;  // chosen to receive the user's lines privately
    bool ignored = false;    // on the ignore list: listed, but their lines are not shown
};

// The lobby window as the lobby core sees it: the Qt window implements it, tests use a fake.
// The core keeps the state; the view draws what it is told and reads the rest from the core.
class LobbyView {
public:
    virtual ~LobbyView() = default;

    // May let window events run, which may close the lobby or destroy it with its window.
    virtual void Entry(const LobbyEntry& entry) = 0;
    virtual void Status(const std::string& text) = 0;
    virtual void ChatControls(bool active) = 0;  // the send box and its buttons
    // The lobby rows or which one is current changed: drawn at once.
    virtual void LobbiesChanged() = 0;
    // The members or the counts beside the lobbies changed. A names reply and a storm of joins
    // and parts change them line after line: the view draws them once the lines at hand are
    // done, not once per line.
    virtual void MembersChanged() = 0;
    virtual void UserRenamed() = 0;  // the user's own NICK
    // Lines of an ignored user were left out. Like the members, the note is drawn once the lines
    // at hand are done: the view then takes it from the lobby (TakeHiddenNote).
    virtual void LinesHidden() = 0;
};

}  // namespace vantor
