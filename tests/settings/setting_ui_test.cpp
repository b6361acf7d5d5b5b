// SPDX-License-Identifier: MIT
#include "settings/setting_ui.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <memory>
#include <tuple>
#include <vector>

#include "controls/vantor_btn.h"
#include "settings/settings_store.h"
#include "support/temp_registry.h"

namespace vantor {
namespace {

class SettingUITest : public ::testing::Test {
protected:
    // Stores values first, then loads the dialog the way start-up does.
    void Load() {
        dialog = std::make_unique<SettingUI>();
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

    void LeaveInterval() { showMotd->setFocus(Qt::TabFocusReason); }

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

TEST_F(SettingUITest, loadsHiddenShowingTheDefaults) {
    Load();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(ShownValues(), Shown(false, QStringLiteral("1"), 0, true, 1, true, 19));
}

TEST_F(SettingUITest, answersForTheProgramWhileItExists) {
    EXPECT_EQ(SettingUI::Instance(), nullptr);
    SaveSettingLong("BuddyListAutoRefreshInt", 75);
    Load();
    EXPECT_EQ(SettingUI::Instance(), dialog.get());
    EXPECT_EQ(&Settings(), static_cast<SettingsSource*>(dialog.get()));
    EXPECT_EQ(Settings().SettingLong("AutoBuddyRefreshInt", 3), 60);

    dialog.reset();
    EXPECT_EQ(SettingUI::Instance(), nullptr);
    EXPECT_EQ(Settings().SettingLong("AutoBuddyRefreshInt", 3), 3);  // the store, by that name
}

// OK with an empty interval box stores the held interval.
TEST_F(SettingUITest, correctedValuesShowButTheStoreKeepsItsOwnUntilOk) {
    SaveSettingLong("BuddyListAutoRefreshInt", 75);
    SaveSettingLong("Server", -3);
    Load();
    EXPECT_EQ(intval->text(), QStringLiteral("60"));
    EXPECT_EQ(dialog->SettingLong("AutoBuddyRefreshInt", 1), 60);
    EXPECT_EQ(serverLogin->currentIndex(), 0);
    EXPECT_EQ(dialog->SettingLong("Server", 1), 0);
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
        LeaveInterval();
        EXPECT_EQ(intval->text(), QString::fromLatin1(c.shown)) << c.typed;
    }
}

TEST_F(SettingUITest, okStoresEveryValueInRangeAndHides) {
    Load();
    ShowActive();
    autoRefresh->setChecked(true);
    intval->setText(QStringLiteral("25"));
    chatStart->setCurrentIndex(7);
    showMotd->setChecked(false);
    serverLogin->setCurrentIndex(2);
    enableSnd->setChecked(false);
    sndVol->setValue(7);
    QTest::mouseClick(okBtn, Qt::LeftButton);

    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->SettingLong("SndVolume", 0), 7);
    EXPECT_EQ(Stored({"BGSndVolume", "BuddyListAutoRefresh", "BuddyListAutoRefreshInt",
                      "ChatInitialLobby", "ShowMOTD", "Server", "EnableBGSnd"}),
              (std::vector<int>{7, 1, 25, 7, 0, 2, 0}));
}

// Enter did nothing: only Escape worked.
TEST_F(SettingUITest, enterPressesOkFromAnyFieldButCancelsOnCancel) {
    Load();
    struct Case {
        const char* name;
        std::function<QWidget*()> focus;
        int result;
    };
    const Case cases[] = {
        {"interval box", [this] { return intval; }, QDialog::Accepted},
        {"check box", [this] { return showMotd; }, QDialog::Accepted},
        {"slider", [this] { return sndVol; }, QDialog::Accepted},
        {"CANCEL", [this] { return cancelBtn; }, QDialog::Rejected},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShowActive();
        autoRefresh->setChecked(true);
        sndVol->setValue(c.result == QDialog::Accepted ? 5 : 6);
        QWidget* target = c.focus();
        target->setFocus(Qt::TabFocusReason);
        QTest::keyClick(target, Qt::Key_Return);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), c.result);
        EXPECT_EQ(GetSettingLong("BGSndVolume", 0), 5);
    }
}

TEST_F(SettingUITest, cancelEscapeAndCloseBoxPutTheHeldValuesBack) {
    SaveSettingLong("ChatInitialLobby", 3);
    Load();
    const auto edit = [this] {
        autoRefresh->setChecked(true);
        intval->setText(QStringLiteral("33"));
        chatStart->setCurrentIndex(8);
        showMotd->setChecked(false);
        serverLogin->setCurrentIndex(0);
        enableSnd->setChecked(false);
        sndVol->setValue(2);
    };
    const std::function<void()> ways[] = {
        [this] { QTest::mouseClick(cancelBtn, Qt::LeftButton); },
        [this] { QTest::keyClick(dialog.get(), Qt::Key_Escape); },
        [this] { dialog->close(); },
    };
    for (const auto& dismiss : ways) {
        ShowActive();
        edit();
        dismiss();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_FALSE(intval->isEnabled());
        EXPECT_EQ(ShownValues(), Shown(false, QStringLiteral("1"), 3, true, 1, true, 19));
    }
    EXPECT_EQ(dialog->SettingLong("SndVolume", 0), 19);
    EXPECT_EQ(GetSettingLong("BGSndVolume", 0), 19);
}

TEST_F(SettingUITest, nothingOverlapsInTheLayout) {
    Load();
    ShowActive();
    QList<QWidget*> controls;
    for (QWidget* child : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QString name = child->objectName();
        if (child->isVisible() && name != QStringLiteral("BGImg")) controls << child;
    }
    ASSERT_GE(controls.size(), 15);
    for (int i = 0; i < controls.size(); ++i) {
        EXPECT_TRUE(dialog->rect().contains(controls[i]->geometry()))
            << controls[i]->objectName().toStdString();
        for (int j = i + 1; j < controls.size(); ++j) {
            EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                << controls[i]->objectName().toStdString() << " / "
                << controls[j]->objectName().toStdString();
        }
        if (auto* label = qobject_cast<QLabel*>(controls[i]); label && !label->text().isEmpty()) {
            EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
        }
    }
}

}  // namespace
}  // namespace vantor
