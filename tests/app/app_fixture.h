// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QString>
#include <QStyleHints>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <memory>
#include <vector>

#include "app/vantor_chat_ui.h"
#include "controls/vantor_btn.h"
#include "settings/settings_store.h"
#include "support/loopback_peer.h"
#include "support/pump.h"
#include "support/recording_boxes.h"
#include "support/temp_registry.h"

namespace vantor::test {

inline bool PumpUi(const std::function<bool()>& done) {
    return PumpUntil(done, [] { QTest::qWait(5); });
}

// A main window pointed at a scripted peer, with recorded boxes and a scripted log-on dialog.
struct MainWindowFixture {
    ScopedRegistry registry;
    LoopbackPeer peer;
    RecordingBoxes boxes;
    int prompts = 0;
    std::vector<LogOnAnswer> answers;  // one per dialog shown; canceled once they run out
    std::unique_ptr<VantorChatUI> main;

    MainWindowFixture() {
        SaveSettingString("ServerHost", "127.0.0.1");
        SaveSettingLong("ServerPort", peer.Port());
        // Scripted clicks come faster than any person's; none may pass for a double click.
        QGuiApplication::styleHints()->setMouseDoubleClickInterval(0);
        main = std::make_unique<VantorChatUI>();
        main->SetMessageBoxes(&boxes);
        main->SetLogOnPrompt([this](QWidget*, const QString&) {
            const std::size_t i = static_cast<std::size_t>(prompts++);
            return i < answers.size() ? answers[i] : LogOnAnswer{};
        });
    }
    ~MainWindowFixture() {
        main->SetMessageBoxes(nullptr);
        main.reset();
    }

    template <typename T>
    T* Find(const char* name) const {
        return main->findChild<T*>(QString::fromLatin1(name));
    }
    VantorBtn* Btn(const char* name) const { return Find<VantorBtn>(name); }
    QString Text(const char* label) const;
    QTimer* Timer(const char* name) const { return Find<QTimer>(name); }
    void Tick(const char* timer) { QMetaObject::invokeMethod(Timer(timer), "timeout"); }

    void Click(const char* button) { Press(main.get(), button); }
    // A button of the main window or of one of its dialogs.
    static void Press(QWidget* window, const char* button) {
        QTest::mouseClick(window->findChild<VantorBtn*>(QString::fromLatin1(button)),
                          Qt::LeftButton);
    }

    // The buddy list and its pop-up menu.
    QTreeWidget* List() const { return Find<QTreeWidget>("BuddyList"); }
    QAction* Item(const char* name) const;
    QString Rows() const;  // the nicknames, joined by "|"
    QString Cell(const char* nick, int column) const;
    void Select(const char* nick);

    // "title|text" of the i-th box shown, or empty.
    QString Box(std::size_t i) const {
        return i < boxes.boxes.size() ? boxes.boxes[i].title + QChar(u'|') + boxes.boxes[i].text
                                      : QString();
    }
    // Offline with the log-on button ready and no timer polling a socket.
    void ExpectReadyToLogOn() const {
        EXPECT_EQ(Btn("LogInBtn")->BtnText(), QStringLiteral("LOG"));
        EXPECT_TRUE(Btn("LogInBtn")->Enabled());
        EXPECT_FALSE(Timer("BuffTimer")->isActive());
    }

    // Logs on as bob through the peer up to "Welcome to Westwood Online!".
    bool LogOnAsBob();
    // Logs on as bob and answers the list request with this list; waits until it is filled.
    bool LogOnWithList(const std::string& list);
};

}  // namespace vantor::test
