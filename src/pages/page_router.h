// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "transport/callback.h"

namespace vantor {

class PageWin;  // one conversation; owns its page window (pages/page_win.h)

// The open page conversations of one session (its PageWins), keyed by nickname without regard to
// letter case, and the routing of received pages into them. The session owns one and forwards its
// page operations and the transport's ReceivedPage event here.
class PageRouter {
public:
    // How a page goes out: the session's send (command, param, callback, awaited code list).
    using SendFn = std::function<void(std::string_view command, Param param,
                                      std::shared_ptr<Callback> callback, std::string code)>;

    explicit PageRouter(SendFn send);
    ~PageRouter();
    PageRouter(const PageRouter&) = delete;
    PageRouter& operator=(const PageRouter&) = delete;

    void SetOwnNick(std::string nick);  // the nickname the session logged on with

    std::shared_ptr<PageWin> NewPageWin(const std::string& nick);
    void ClosePageWin(const std::string& nick);
    void CloseAllPageWin();
    void RemovePageWin(const std::string& nick);
    void PageUser(const std::string& nick, const std::string& message,
                  const std::shared_ptr<PageWin>& window = {});

    void OnReceivedPage(const std::string& line);  // the transport's ReceivedPage

    std::size_t Count() const;
    std::shared_ptr<PageWin> Find(std::string_view nick) const;  // case-insensitive

private:
    struct Impl;
    std::shared_ptr<Impl> impl_;
};

}  // namespace vantor
