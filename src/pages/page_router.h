// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pages/ignore_list.h"
#include "transport/callback.h"
#include "transport/reply_spec.h"

namespace vantor {

class PageWin;  // one conversation; owns its page window (pages/page_win.h)

// The service drops a line longer than 512 bytes, CR LF included, without any reply; a page that
// would not fit is refused before it goes out.
bool PageFitsLine(std::string_view nick, std::string_view message);
inline constexpr const char* kPageTooLong = "The page is too long to send; it was not sent.";

// The service's answer to a page: "389" with 0 (delivered) or 1 (the user is not logged on).
namespace reply {
inline constexpr std::string_view kPageResult = "389";
}  // namespace reply

// The open page conversations of one session (its PageWins), keyed by nickname without regard to
// letter case, and the routing of received pages into them. The session owns one and forwards its
// page operations and the transport's ReceivedPage event here.
//
// Every operation may run pending window events (a window appending a line does), so a second
// page can be routed while the first is still being shown; the set stays consistent across that.
//
// A page from a nickname on the ignore list goes no further than the debug log: no window, no
// attention, no log, and nothing back on the wire.
class PageRouter {
public:
    // How a page goes out: the session's send.
    using SendFn = std::function<void(std::string_view command, ReplySpec reply)>;

    explicit PageRouter(SendFn send, IgnoreList& ignores = Ignores());
    ~PageRouter();
    PageRouter(const PageRouter&) = delete;
    PageRouter& operator=(const PageRouter&) = delete;

    void SetOwnNick(std::string nick);  // the nickname the session logged on with

    // Whether a nickname is on the user's buddy list. With "PagesFromBuddiesOnly" on, a page from
    // anyone else is dropped as an ignored one is (an invitation of theirs is still declined);
    // without a check nobody counts as a buddy.
    using BuddyCheck = std::function<bool(std::string_view nick)>;
    void SetBuddyCheck(BuddyCheck check);
    bool Ignored(std::string_view nick) const;
    // Every open window with that user shows the change.
    void SetIgnored(const std::string& nick, bool ignored);

    // Opens the conversation, or activates the open one whose nickname matches without regard
    // to case. Returns nullptr only for an empty nickname.
    std::shared_ptr<PageWin> NewPageWin(const std::string& nick);
    void ClosePageWin(const std::string& nick);  // exact nickname
    void CloseAllPageWin();                      // leaves the set empty
    void RemovePageWin(const std::string& nick);
    // Without a window nothing is reported back; with one, its "389" reply reaches it, unless it
    // has closed by then.
    void PageUser(const std::string& nick, const std::string& message,
                  const std::shared_ptr<PageWin>& window = {});

    void OnReceivedPage(const std::string& line);  // the transport's ReceivedPage

    // While the link is down a page from a window is refused with a notice in that window
    // instead of being sent into nothing.
    void SetLinkDown(bool down);
    bool LinkDown() const;
    void NoticeAll(const std::string& text);  // a notice line in every open window
    // A user changed nickname (seen in a lobby): their conversation says so and goes on under
    // the new name, unless one with the new name is open already.
    void Renamed(const std::string& from, const std::string& to);

    std::size_t Count() const;
    std::shared_ptr<PageWin> Find(std::string_view nick) const;  // case-insensitive
    std::vector<std::shared_ptr<PageWin>> PageWins() const;      // in opening order

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vantor
