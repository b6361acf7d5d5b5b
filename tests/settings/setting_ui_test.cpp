// SPDX-License-Identifier: MIT
#include "settings/setting_ui.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

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

TEST_F(SettingUITest, loadsHiddenWithEveryControlTheListsAndTheDefaults) {
    Load();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->objectName(), QStringLiteral("SettingUI"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Options"));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
    EXPECT_FALSE(dialog->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));

    QStringList headings;
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        if (label->palette().color(QPalette::Window) == QColor(128, 0, 0) && label->font().bold()) {
            headings << label->text();
            EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 255, 255));
        }
    }
    headings.sort();
    EXPECT_EQ(headings, (QStringList{QStringLiteral("Chat settings:"), QStringLiteral("General options:"),
                                     QStringLiteral("Login information:"), QStringLiteral("Sound Settings:")}));

    ASSERT_EQ(chatStart->count(), 10);
    EXPECT_EQ(chatStart->itemText(9), QStringLiteral("Crimson Barracks_2"));
    EXPECT_EQ(serverLogin->count(), 3);

    EXPECT_FALSE(autoRefresh->isChecked());
    EXPECT_EQ(intval->text(), QStringLiteral("1"));
    EXPECT_EQ(chatStart->currentIndex(), 0);
    EXPECT_TRUE(showMotd->isChecked());
    EXPECT_EQ(serverLogin->currentText(), QStringLiteral("European Server"));
    EXPECT_TRUE(enableSnd->isChecked());
    EXPECT_EQ(sndVol->value(), 19);
}

TEST_F(SettingUITest, answersForTheProgramWhileItExists) {
    EXPECT_EQ(SettingUI::Instance(), nullptr);
    EXPECT_FALSE(SettingUI::SharedBackground().isNull());
    EXPECT_FALSE(SettingUI::SharedTitle().isNull());
    EXPECT_FALSE(SettingUI::WindowIcon().isNull());
    SaveSettingLong("BuddyListAutoRefreshInt", 75);
    Load();
    EXPECT_EQ(SettingUI::Instance(), dialog.get());
    EXPECT_EQ(&Settings(), static_cast<SettingsSource*>(dialog.get()));
    EXPECT_EQ(Settings().SettingLong("AutoBuddyRefreshInt", 3), 60);
    EXPECT_EQ(SettingUI::SharedBackground().cacheKey(), dialog->BGImg().cacheKey());

    dialog.reset();
    EXPECT_EQ(SettingUI::Instance(), nullptr);
    EXPECT_EQ(Settings().SettingLong("AutoBuddyRefreshInt", 3), 3);  // the store, by that name
}

TEST_F(SettingUITest, correctedValuesShowButTheStoreKeepsItsOwnUntilOk) {
    SaveSettingLong("BuddyListAutoRefreshInt", 75);
    SaveSettingLong("Server", -3);
    Load();
    EXPECT_EQ(intval->text(), QStringLiteral("60"));
    EXPECT_EQ(dialog->SettingLong("AutoBuddyRefreshInt", 1), 60);
    EXPECT_EQ(serverLogin->currentIndex(), 0);
    EXPECT_EQ(serverLogin->currentText(), QStringLiteral("USA Server"));
    EXPECT_EQ(dialog->SettingLong("Server", 1), 0);
    EXPECT_EQ(GetSettingLong("BuddyListAutoRefreshInt", 0), 75);

    ShowActive();
    QTest::mouseClick(okBtn, Qt::LeftButton);
    EXPECT_EQ(GetSettingLong("BuddyListAutoRefreshInt", 0), 60);
    EXPECT_EQ(GetSettingLong("Server", 1), 0);
}

TEST_F(SettingUITest, autoRefreshBoxSwitchesTheIntervalOnAndOff) {
    Load();
    QLabel* label = Find<QLabel>("IntvalLabel");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("Interval in minutes:"));
    EXPECT_FALSE(intval->isEnabled());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(128, 128, 128));
    EXPECT_EQ(intval->palette().color(QPalette::Base), QColor(128, 128, 128));
    EXPECT_EQ(intval->palette().color(QPalette::Text), QColor(128, 64, 0));

    ShowActive();
    QTest::mouseClick(autoRefresh, Qt::LeftButton, {}, QPoint(8, autoRefresh->height() / 2));
    ASSERT_TRUE(autoRefresh->isChecked());
    EXPECT_TRUE(intval->isEnabled());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    EXPECT_EQ(intval->palette().color(QPalette::Base), QColor(64, 0, 0));
    EXPECT_EQ(intval->palette().color(QPalette::Text), QColor(255, 128, 0));

    autoRefresh->setChecked(false);
    EXPECT_FALSE(intval->isEnabled());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(128, 128, 128));
}

TEST_F(SettingUITest, intervalBoxTakesDigitsAndDigitPastesOnly) {
    Load();
    StartTypingInterval();
    QTest::keyClicks(intval, QStringLiteral("a- "));
    EXPECT_EQ(intval->text(), QString());

    QGuiApplication::clipboard()->setText(QStringLiteral("1x"));
    QTest::keyClick(intval, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(intval->text(), QString());
    QTest::keyClick(intval, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(intval->text(), QString());

    QGuiApplication::clipboard()->setText(QStringLiteral("12"));
    QTest::keyClick(intval, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(intval->text(), QStringLiteral("12"));

    QTest::keyClick(intval, Qt::Key_Backspace);
    QTest::keyClicks(intval, QStringLiteral("345"));
    EXPECT_EQ(intval->text(), QStringLiteral("13"));  // two characters at most

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
    EXPECT_EQ(GetSettingLong("BGSndVolume", 0), 7);
    EXPECT_EQ(GetSettingLong("BuddyListAutoRefresh", 0), 1);
    EXPECT_EQ(GetSettingLong("BuddyListAutoRefreshInt", 0), 25);
    EXPECT_EQ(GetSettingLong("ChatInitialLobby", 0), 7);
    EXPECT_EQ(GetSettingLong("ShowMOTD", 1), 0);
    EXPECT_EQ(GetSettingLong("Server", 0), 2);
    EXPECT_EQ(GetSettingLong("EnableBGSnd", 1), 0);
}

TEST_F(SettingUITest, okWithAnEmptyIntervalKeepsTheHeldOne) {
    SaveSettingLong("BuddyListAutoRefresh", 1);
    SaveSettingLong("BuddyListAutoRefreshInt", 9);
    Load();
    ShowActive();
    intval->clear();
    QTest::mouseClick(okBtn, Qt::LeftButton);
    EXPECT_EQ(dialog->SettingLong("AutoBuddyRefreshInt", 0), 9);
    EXPECT_EQ(GetSettingLong("BuddyListAutoRefreshInt", 0), 9);
    EXPECT_EQ(intval->text(), QStringLiteral("9"));
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
        EXPECT_FALSE(autoRefresh->isChecked());
        EXPECT_FALSE(intval->isEnabled());
        EXPECT_EQ(intval->text(), QStringLiteral("1"));
        EXPECT_EQ(chatStart->currentIndex(), 3);
        EXPECT_TRUE(showMotd->isChecked());
        EXPECT_EQ(serverLogin->currentIndex(), 1);
        EXPECT_TRUE(enableSnd->isChecked());
        EXPECT_EQ(sndVol->value(), 19);
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
                << controls[i]->objectName().toStdString() << " / " << controls[j]->objectName().toStdString();
        }
        if (auto* label = qobject_cast<QLabel*>(controls[i]); label && !label->text().isEmpty()) {
            EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
        }
    }
}

}  // namespace
}  // namespace vantor
