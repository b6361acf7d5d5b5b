// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QTextBlock>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "chat/chat_link.h"
#include "support/fake_settings.h"

namespace vantor::test {

// Time stamps are off so entries compare as plain text.
class ChatSettings : public FakeSettings {
public:
    ChatSettings() { numbers.emplace("ChatTimeStamps", 0); }
};

// Records what the window sends and which intercepts it holds.
class RecordingLink : public ChatLink {
public:
    struct Sent {
        std::string command;
        Param param;
        bool callback = false;
        std::string codes;  // code/start/end
    };
    std::vector<Sent> sent;
    std::map<std::string, Param, std::less<>> intercepts;

    void send(std::string_view command, Param param, std::shared_ptr<Callback> callback,
              std::string code, std::string cStart, std::string cEnd) override {
        sent.push_back({std::string(command), std::move(param), callback != nullptr,
                        code + "/" + cStart + "/" + cEnd});
    }
    void RegisterIntercept(std::string code, std::shared_ptr<Callback>, Param param) override {
        intercepts[code] = std::move(param);
    }
    void RemoveIntercept(std::string_view code) override {
        if (auto it = intercepts.find(code); it != intercepts.end()) intercepts.erase(it);
    }
    std::string Last() const { return sent.empty() ? std::string() : sent.back().command; }
};

inline QColor EntryColour(const QTextBlock& block) {
    const auto it = block.begin();
    return it.atEnd() ? QColor() : it.fragment().charFormat().foreground().color();
}

}  // namespace vantor::test
