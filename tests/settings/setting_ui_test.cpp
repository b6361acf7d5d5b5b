// SPDX-License-Identifier: MIT
#include "settings/setting_ui.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <memory>
#include <tuple>
#include <vector>

#include "controls/vantor_btn.h"
#include "settings/settings_store.h"
#include "support/layout_check.h"
#include "support/temp_registry.h"

namespace vantor {
namespace {

class SettingUITest : public ::testing::Test {
protected:
    ~SettingUITest() override {
        if (&Settings() == &heldSettings) SetSettingsSource(nullptr);
    }

    // Stores values first, then loads the held settings and the dialog the way start-up does.
    void Load() {
        heldSettings.Load();
        SetSettingsSource(&heldSettings);
        dialog = std::make_unique<SettingUI>(heldSettings);
        serverLogin = Find<QComboBox>("ServerLogin");
        chatStart = Find<QComboBox>("ChatStart");
        showMotd = Find<QCheckBox>("ShowMOTD");
        autoRefresh = Find<QCheckBox>("AutoRefresh");
        enableSnd = Find<QCheckBox>("EnableSnd");
        intval = Find<QLineEdit>("Intval");
        sndVol = Find<QSlider>("SndVol");
        okBtn = Find<VantorBtn>("OKBtn");
        cancelBtn = Find<VantorBtn>("CancelBtn");
    }

    template <typename T>
    T* Find(const char* name) {
        T* widget = dialog->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    void ShowActive() {
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }

    // Gives the interval box the focus with an empty text, as a user about to type.
    void StartTypingInterval() {
        autoRefresh->setChecked(true);
        ShowActive();
        intval->setFocus(Qt::TabFocusReason);
        intval->clear();
    }

    // What the controls show, in dialog order.
    using Shown = std::tuple<bool, QString, int, bool, int, bool, int>;
    Shown ShownValues() const {
        return {autoRefresh->isChecked(),
                intval->text(),
                chatStart->currentIndex(),
                showMotd->isChecked(),
                serverLogin->currentIndex(),
                enableSnd->isChecked(),
                sndVol->value()};
    }
    // The store's values, read with a default none of them can hold.
    static std::vector<int> Stored(std::initializer_list<const char*> names) {
        std::vector<int> values;
        for (const char* name : names) values.push_back(GetSettingLong(name, -99));
        return values;
    }

    test::ScopedRegistry registry;
    HeldSettings heldSettings;
    std::unique_ptr<SettingUI> dialog;
    QComboBox* serverLogin = nullptr;
    QComboBox* chatStart = nullptr;
    QCheckBox* showMotd = nullptr;
    QCheckBox* autoRefresh = nullptr;
    QCheckBox* enableSnd = nullptr;
    QLineEdit* intval = nullptr;
    QSlider* sndVol = nullptr;
    VantorBtn* okBtn = nullptr;
    VantorBtn* cancelBtn = nullptr;
};

TEST_F(SettingUITest, answersForTheProgramWhileItExists) {
    EXPECT_EQ(SettingUI::Instance(), nullptr);
    Load();
    EXPECT_FALSE(dialog->isVisible());  // start-up loads it without showing it
    EXPECT_EQ(SettingUI::Instance(), dialog.get());
    EXPECT_EQ(&Settings(), static_cast<SettingsSource*>(&heldSettings));

    dialog.reset();
    SetSettingsSource(nullptr);
    EXPECT_EQ(SettingUI::Instance(), nullptr);
    EXPECT_EQ(Settings().SettingLong("AutoBuddyRefreshInt", 3), 3);  // the store, by that name
}

// A held value written through the facade while the window is hidden is what it shows next.
TEST_F(SettingUITest, aHeldValueSetElsewhereShowsWhenTheWindowOpens) {
    Load();
    Settings().Set(setting::held::kBGSndVolume, 7);
    Settings().Set(setting::kServer, 2);
    EXPECT_EQ(Settings().Get(setting::kSndVolume), 7);
    EXPECT_EQ(Stored({"BGSndVolume", "Server"}), (std::vector<int>{7, 2}));
    ShowActive();
    EXPECT_EQ(sndVol->value(), 7);
    EXPECT_EQ(serverLogin->currentIndex(), 2);
}

// OK with an empty interval box stores the held interval.
TEST_F(SettingUITest, correctedValuesShowButTheStoreKeepsItsOwnUntilOk) {
    SaveSettingLong("BuddyListAutoRefreshInt", 75);
    SaveSettingLong("Server", -3);
    Load();
    EXPECT_EQ(intval->text(), QStringLiteral("60"));
    EXPECT_EQ(heldSettings.SettingLong("AutoBuddyRefreshInt", 1), 60);
    EXPECT_EQ(serverLogin->currentIndex(), 0);
    EXPECT_EQ(heldSettings.SettingLong("Server", 1), 0);
    EXPECT_EQ(Stored({"BuddyListAutoRefreshInt", "Server"}), (std::vector<int>{75, -3}));

    ShowActive();
    intval->clear();
    QTest::mouseClick(okBtn, Qt::LeftButton);
    EXPECT_EQ(Stored({"BuddyListAutoRefreshInt", "Server"}), (std::vector<int>{60, 0}));
    EXPECT_EQ(intval->text(), QStringLiteral("60"));
}

TEST_F(SettingUITest, autoRefreshBoxSwitchesTheIntervalOnAndOff) {
    Load();
    ShowActive();
    for (bool on : {true, false}) {
        QTest::mouseClick(autoRefresh, Qt::LeftButton, {}, QPoint(8, autoRefresh->height() / 2));
        EXPECT_EQ(autoRefresh->isChecked(), on);
        EXPECT_EQ(intval->isEnabled(), on);
    }
}

TEST_F(SettingUITest, intervalBoxTakesDigitsAndDigitPastesOnly) {
    Load();
    StartTypingInterval();
    QTest::keyClicks(intval, QStringLiteral("a- "));
    EXPECT_EQ(intval->text(), QString());

    QGuiApplication::clipboard()->setText(QStringLiteral("1x"));
    QTest::keyClick(intval, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(intval, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(intval->text(), QString());

    QGuiApplication::clipboard()->setText(QStringLiteral("12"));
    QTest::keyClick(intval, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(intval->text(), QStringLiteral("12"));

    // A paste from the context menu has no keystroke to filter.
    intval->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("x"));
    intval->paste();
    EXPECT_EQ(intval->text(), QString());
}

TEST_F(SettingUITest, leavingTheIntervalBoxBringsItIntoRange) {
    Load();
    StartTypingInterval();
    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {{"99", "60"}, {"00", "1"}, {"05", "5"}, {"42", "42"}, {"", ""}};
    for (const auto& c : cases) {
        intval->setFocus(Qt::TabFocusReason);
        intval->clear();
        QTest::keyClicks(intval, QString::fromLatin1(c.typed));
        showMotd->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(intval->text(), QString::fromLatin1(c.shown)) << c.typed;
    }
}

// Enter did nothing: only Escape worked. Now it presses OK, or CANCEL when that has the focus.
TEST_F(SettingUITest, everyWayOutHidesAndOnlyOkStores) {
    Load();
    const auto enterOn = [](QWidget* target) {
        return [target] {
            target->setFocus(Qt::TabFocusReason);
            QTest::keyClick(target, Qt::Key_Return);
        };
    };
    const struct {
        const char* what;
        std::function<void()> leave;
        bool ok;
    } ways[] = {
        {"CANCEL", [this] { QTest::mouseClick(cancelBtn, Qt::LeftButton); }, false},
        {"Escape", [this] { QTest::keyClick(dialog.get(), Qt::Key_Escape); }, false},
        {"close box", [this] { dialog->close(); }, false},
        {"Enter on CANCEL", enterOn(cancelBtn), false},
        {"OK", [this] { QTest::mouseClick(okBtn, Qt::LeftButton); }, true},
        {"Enter in the interval box", enterOn(intval), true},
        {"Enter on a check box", enterOn(showMotd), true},
        {"Enter on the slider", enterOn(sndVol), true},
    };
    const auto names = {"BGSndVolume",
                        "BuddyListAutoRefresh",
                        "BuddyListAutoRefreshInt",
                        "ChatInitialLobby",
                        "ShowMOTD",
                        "Server",
                        "EnableBGSnd"};
    int volume = 0;
    for (const auto& way : ways) {
        SCOPED_TRACE(way.what);
        const Shown held = ShownValues();
        const std::vector<int> stored = Stored(names);
        ShowActive();
        autoRefresh->setChecked(true);
        intval->setText(QStringLiteral("25"));
        chatStart->setCurrentIndex(7);
        showMotd->setChecked(false);
        serverLogin->setCurrentIndex(2);
        enableSnd->setChecked(false);
        sndVol->setValue(++volume);
        way.leave();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), way.ok ? QDialog::Accepted : QDialog::Rejected);
        if (way.ok) {
            EXPECT_EQ(Stored(names), (std::vector<int>{volume, 1, 25, 7, 0, 2, 0}));
            EXPECT_EQ(heldSettings.SettingLong("SndVolume", 0), volume);
        } else {
            EXPECT_EQ(ShownValues(), held);
            EXPECT_EQ(heldSettings.SettingLong("SndVolume", 0), std::get<6>(held));
            EXPECT_EQ(intval->isEnabled(), std::get<0>(held));
            EXPECT_EQ(Stored(names), stored);
        }
    }
}

TEST_F(SettingUITest, nothingOverlapsInTheLayout) {
    Load();
    ShowActive();
    EXPECT_GE(test::ExpectControlsApart(*dialog, QStringLiteral("BGImg")), 15);
}

}  // namespace
}  // namespace vantor
