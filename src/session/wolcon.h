// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/tag.h"
#include "pages/page_router.h"
#include "transport/callback.h"
#include "transport/reply_spec.h"

namespace vantor {

class WOLCon2;
enum class ErrorCode : int;
enum class PassResult : int;

// What the log-on came to; the numbers are the classic ones.
enum class LogOnResult : int {
    LoggedOn = 0,       // the message of the day has ended (376)
    NicknameInUse = 1,  // 433
    NoNickname = 2,     // 431
};

// The replies of the log-on and of the buddy list download, and the commands around them.
namespace reply {
inline constexpr std::string_view kMotdStart = "375";
inline constexpr std::string_view kMotdLine = "372";
inline constexpr std::string_view kMotdEnd = "376";
inline constexpr std::string_view kNicknameInUse = "433";
inline constexpr std::string_view kNoNickname = "431";
inline constexpr std::string_view kBuddyList = "333";
}  // namespace reply
namespace command {
inline constexpr std::string_view kSetCodePage = "SETCODEPAGE 1252";
inline constexpr std::string_view kSetOptions = "SETOPT 17,33";
inline constexpr std::string_view kGetBuddy = "GETBUDDY";
inline constexpr std::string_view kQuit = "QUIT";
}  // namespace command

// Credentials for LogOn; texts are Windows-1252 bytes.
struct WolInfo {
    std::string NickName;
    std::string Password;
};

// Opens the message-of-the-day window; the UI provides it so the session needs no widgets.
using MotdPresenter = std::function<void(const std::string& newsText)>;

// One log-on to the service on top of one connection. Events are raised synchronously from
// inside PopulateBuff; a handler may destroy the session (a temporary session closed by its own
// answer), so nothing of the session is touched after an event returns.
class WOLCon {
public:
    WOLCon();
    ~WOLCon();
    WOLCon(const WOLCon&) = delete;
    WOLCon& operator=(const WOLCon&) = delete;

    bool connect(std::int32_t port);
    bool connect(std::int32_t port, std::optional<std::uint32_t> address);
    void LogOn(const WolInfo& credentials, bool showMotd);
    void Quit();
    void GetBuddies();

    void send(std::string_view command, ReplySpec reply = {});
    [[nodiscard]] InterceptRegistration RegisterIntercept(std::string code,
                                                          std::shared_ptr<Callback> callback,
                                                          Param param = {});
    void RemoveIntercept(std::string_view code);
    PassResult PopulateBuff();
    // A receive pass of this session is under way. A box raised from one of its handlers runs a
    // nested event loop whose timers must not start the pass again; the mark goes with the pass,
    // also when it throws.
    bool InPass() const;

    const Tag& GetTag() const;
    void SetTag(Tag tag);

    const std::string& NickName() const;  // the nickname of the last LogOn
    const std::string& MotdText() const;  // grows across log-ons of this session

    void SetMotdPresenter(MotdPresenter presenter);

    // Page conversations (PageWins).
    PageRouter& Pages();
    std::shared_ptr<PageWin> NewPageWin(const std::string& nick);
    void ClosePageWin(const std::string& nick);
    void CloseAllPageWin();
    void RemovePageWin(const std::string& nick);
    void PageUser(const std::string& nick, const std::string& message,
                  const std::shared_ptr<PageWin>& window = {});

    WOLCon2& Interface();  // the transport (WOLInterface)

    // Events; set by the owner.
    std::function<void(ErrorCode code)> Error;
    std::function<void(vantor::LogOnResult result)> LogOnResult;
    // The nicknames joined by "`", result 0; an empty list (a reply without the list word)
    // also comes as "" with result 0.
    std::function<void(const std::string& list, int result)> BuddyListResult;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// An ordered collection of sessions, optionally keyed by text (keys compare without regard to
// ASCII letter case). Indexes count from 0 in insertion order.
class WOLCons {
public:
    WOLCons();
    ~WOLCons();
    WOLCons(const WOLCons&) = delete;
    WOLCons& operator=(const WOLCons&) = delete;

    // Creates a session whose Tag is the key and appends it (without a key if the key is empty).
    // A key already present gives nullptr and adds nothing.
    WOLCon* Add(std::string_view key);

    WOLCon* Item(std::size_t index) const;     // nullptr when out of range
    WOLCon* Item(std::string_view key) const;  // nullptr when absent
    std::size_t Count() const;

    // A session removed from inside its own event handler is destroyed safely: it touches
    // nothing of itself after the event returns.
    bool Remove(std::size_t index);
    bool Remove(std::string_view key);

    // Calls fn for each session in order. A session removed during the walk (even by dropping
    // the whole collection from inside fn) is skipped, sessions added during it are not visited,
    // and the session being called stays alive until fn returns.
    void ForEach(const std::function<void(WOLCon&)>& fn) const;

    std::vector<std::string> Keys() const;  // in order; "" for an entry added without a key

private:
    struct State;
    std::shared_ptr<State> state_;
};

// The news part of the collected message-of-the-day text.
std::string MotdNews(const std::string& motdText);

}  // namespace vantor
