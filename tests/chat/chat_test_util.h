// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QColor>
#include <QPointer>
#include <QTextBlock>
#include <any>
#include <map>
#include <string>
#include <vector>

#include "chat/chat_link.h"
#include "chat/chat_ui.h"
#include "recording_link.h"
#include "support/fake_settings.h"
#include "support/temp_registry.h"

namespace vantor::test {

// Time stamps are off so entries compare as plain text.
class ChatSettings : public FakeSettings {
public:
    ChatSettings() { numbers.emplace("ChatTimeStamps", 0); }
};

// The nicknames as the window lists them, drawn up to date.
inline QStringList NickList(ChatUI& chat) {
    chat.CatchUpLists();
    const QAbstractItemModel* list =
        chat.findChild<QAbstractItemView*>(QStringLiteral("NickList"))->model();
    QStringList out;
    for (int i = 0; i < list->rowCount(); ++i) out << list->index(i, 0).data().toString();
    return out;
}

inline QColor EntryColour(const QTextBlock& block) {
    const auto it = block.begin();
    return it.atEnd() ? QColor() : it.fragment().charFormat().foreground().color();
}

// A lobby window over a recording link, with a registry of its own (a data folder for the logs).
class ChatWindowTest : public ::testing::Test {
protected:
    void SetUp() override { SetSettingsSource(&settings); }
    void TearDown() override {
        delete chat.data();
        SetSettingsSource(nullptr);
    }
    void Open(const std::string& user) {
        chat = new ChatUI;
        chat->SetWOL(link);
        chat->show();
        chat->SetUser(user);
        chat->ConnectChat();
    }
    void Feed(int param, std::initializer_list<std::string> lines) {
        for (const auto& line : lines) {
            chat->Core().ChatCB_Callback(line, Delivery::Data, Param{param});
        }
    }

    ScopedRegistry registry;
    ChatSettings settings;
    std::shared_ptr<RecordingLink> link = std::make_shared<RecordingLink>();
    QPointer<ChatUI> chat;
};

}  // namespace vantor::test
