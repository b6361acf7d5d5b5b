// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QTextBlock>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "chat/chat_link.h"
#include "settings/settings_source.h"

namespace vantor::test {

// Answers from maps, defaults otherwise. Time stamps are off so entries compare as plain text.
class FakeSettings : public SettingsSource {
public:
    std::map<std::string, std::string, std::less<>> texts{{"ServerHost", "127.0.0.1"}};
    std::map<std::string, std::int32_t, std::less<>> numbers{{"ChatTimeStamps", 0}};

    std::string SettingString(std::string_view name, std::string_view defaultValue) override {
        auto it = texts.find(name);
        return it != texts.end() ? it->second : std::string(defaultValue);
    }
    std::int32_t SettingLong(std::string_view name, std::int32_t defaultValue) override {
        auto it = numbers.find(name);
        return it != numbers.end() ? it->second : defaultValue;
    }
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
