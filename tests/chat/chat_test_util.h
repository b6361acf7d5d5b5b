// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QString>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <any>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chat/chat_link.h"
#include "settings/settings_source.h"

namespace vantor::test {

// Answers from maps; everything else gets its default. Time stamps are off unless a test wants
// them, so entries compare as plain text.
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

// Records what the window sends and routes lines the way the connection would for the simple
// cases: an intercept by its code first, otherwise the newest queued command naming the code.
class RecordingLink : public ChatLink {
public:
    struct Sent {
        std::string command;
        Param param;
        std::shared_ptr<Callback> callback;
        std::string code, cStart, cEnd;
    };
    struct Hook {
        std::shared_ptr<Callback> callback;
        Param param;
    };

    std::vector<Sent> sent;
    std::map<std::string, Hook, std::less<>> intercepts;
    std::vector<std::string> removed;

    void send(std::string_view command, Param param, std::shared_ptr<Callback> callback,
              std::string code, std::string cStart, std::string cEnd) override {
        sent.push_back({std::string(command), std::move(param), std::move(callback),
                        std::move(code), std::move(cStart), std::move(cEnd)});
    }
    void RegisterIntercept(std::string code, std::shared_ptr<Callback> callback,
                           Param param) override {
        intercepts[code] = {std::move(callback), std::move(param)};
    }
    void RemoveIntercept(std::string_view code) override {
        removed.emplace_back(code);
        if (auto it = intercepts.find(code); it != intercepts.end()) intercepts.erase(it);
    }

    std::vector<std::string> Commands() const {
        std::vector<std::string> out;
        for (const auto& s : sent) out.push_back(s.command);
        return out;
    }

    // Returns false when nothing would have taken the line.
    bool Relay(const std::string& line) {
        const auto first = line.find(' ');
        const auto second = line.find(' ', first + 1);
        if (first == std::string::npos) return false;
        const std::string word = line.substr(first + 1, second - first - 1);
        if (auto it = intercepts.find(word); it != intercepts.end()) {
            auto hook = it->second;
            hook.callback->Raise(line, Delivery::Intercepted, hook.param);
            return true;
        }
        for (auto it = sent.rbegin(); it != sent.rend(); ++it) {
            if (!it->callback) continue;
            const std::string codes = "," + it->code + ",";
            Delivery kind = Delivery::Data;
            if (word == it->cStart) kind = Delivery::Start;
            else if (word == it->cEnd) kind = Delivery::End;
            else if (codes.find("," + word + ",") == std::string::npos) continue;
            auto copy = *it;
            copy.callback->Raise(line, kind, copy.param);
            return true;
        }
        return false;
    }
};

// The last entry of a history box and the colour it starts in.
inline QTextBlock LastEntry(const QTextBrowser& box) { return box.document()->lastBlock(); }

inline QColor EntryColour(const QTextBlock& block) {
    const auto it = block.begin();
    return it.atEnd() ? QColor() : it.fragment().charFormat().foreground().color();
}

}  // namespace vantor::test
