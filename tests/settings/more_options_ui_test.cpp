// SPDX-License-Identifier: MIT
#include "settings/more_options_ui.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

#include "controls/vantor_btn.h"
#include "pages/ignore_list.h"
#include "session/conversation_log.h"
#include "settings/held_settings.h"
#include "settings/setting_ui.h"
#include "settings/settings_store.h"
#include "support/layout_check.h"
#include "support/temp_registry.h"

namespace vantor {
namespace {

// The settings beyond the classic client, by the names of their boxes and in the store.
const std::vector<const char*> kChoices = {"ChatTimeStamps",
                                           "ChatLobbyEvents",
                                           "PageIgnoreButton",
                                           "LogConversations",
                                           "PagesFromBuddiesOnly",
                                           "BuddyHideOffline",
                                           "BuddyIcons",
                                           "BuddyJoin",
                                           "AutoReconnect",
                                           "LogOnCancel",
                                           "StatusReasons",
                                           "DesktopNotify",
                                           "NotifyRateLimit",
                                           "BuddyAlerts",
                                           "TrayIcon",
                                           "ElideStatus",
                                           "PageSound"};

std::vector<int> Stored() {
    std::vector<int> values;
    for (const char* name : kChoices) values.push_back(GetSettingLong(name, -99));
    return values;
}

class MoreOptionsTest : public ::testing::Test {
protected:
    MoreOptionsTest() {
        held.Load();
        SetSettingsSource(&held);
    }
    ~MoreOptionsTest() override {
        MoreOptionsUI::SetFolderOpener({});
        SetSettingsSource(nullptr);
    }

    void Open() {
        window = std::make_unique<MoreOptionsUI>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QCheckBox* Box(const char* name) {
        auto* box = window->findChild<QCheckBox*>(QString::fromLatin1(name));
        EXPECT_NE(box, nullptr) << name;
        return box;
    }
    std::vector<int> Shown() {
        std::vector<int> values;
        for (const char* name : kChoices) values.push_back(Box(name)->isChecked() ? 1 : 0);
        return values;
    }

    test::ScopedRegistry registry;
    HeldSettings held;
    std::unique_ptr<MoreOptionsUI> window;
};

TEST_F(MoreOptionsTest, showsTheStoreOnOpenAndOnlyOkWritesIt) {
    const std::vector<int> inFile = {0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0};
    for (std::size_t i = 0; i < kChoices.size(); ++i) SaveSettingLong(kChoices[i], inFile[i]);
    Open();
    EXPECT_EQ(Shown(), inFile);

    const std::vector<int> flipped = {1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1};
    const struct {
        const char* what;
        std::function<void(MoreOptionsUI&)> leave;
        bool ok;
    } ways[] = {
        {"CANCEL",
         [](MoreOptionsUI& w) {
             QTest::mouseClick(w.findChild<VantorBtn*>(QStringLiteral("CancelBtn")),
                               Qt::LeftButton);
         },
         false},
        {"Escape", [](MoreOptionsUI& w) { QTest::keyClick(&w, Qt::Key_Escape); }, false},
        {"close box", [](MoreOptionsUI& w) { w.close(); }, false},
        {"Enter on a box",
         [](MoreOptionsUI& w) {
             auto* box = w.findChild<QCheckBox*>(QStringLiteral("TrayIcon"));
             box->setFocus(Qt::TabFocusReason);
             QTest::keyClick(box, Qt::Key_Return);
         },
         true},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.what);
        const std::vector<int> before = Stored();
        Open();
        for (std::size_t i = 0; i < kChoices.size(); ++i) Box(kChoices[i])->setChecked(flipped[i]);
        way.leave(*window);
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(window->result(), way.ok ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(Stored(), way.ok ? flipped : before);
    }

    // Changed in the file while the program runs: the next opening shows it.
    SaveSettingLong("PageSound", 0);
    SaveSettingLong("TrayIcon", 1);
    Open();
    EXPECT_FALSE(Box("PageSound")->isChecked());
    EXPECT_TRUE(Box("TrayIcon")->isChecked());
}

// The order is one of three; a value the window does not know shows as the first.
TEST_F(MoreOptionsTest, theBuddyOrderIsChosenFromItsThreeAndOnlyOkKeepsIt) {
    for (const auto& [stored, shown] : {std::pair{2, 2}, std::pair{1, 1}, std::pair{7, 0}}) {
        SaveSettingLong("BuddySort", stored);
        Open();
        auto* sort = window->findChild<QComboBox*>(QStringLiteral("BuddySort"));
        ASSERT_NE(sort, nullptr);
        EXPECT_EQ(sort->currentIndex(), shown);
        sort->setCurrentIndex((shown + 1) % 3);
        QTest::keyClick(window.get(), Qt::Key_Escape);
        EXPECT_EQ(GetSettingLong("BuddySort", -1), stored);
        Open();
        window->findChild<QComboBox*>(QStringLiteral("BuddySort"))->setCurrentIndex(2);
        QTest::mouseClick(window->findChild<VantorBtn*>(QStringLiteral("OKBtn")), Qt::LeftButton);
        EXPECT_EQ(GetSettingLong("BuddySort", -1), 2);
    }
}

// The numbers: the store's values shown (one past the range shown at the end of it), what 0
// means said in words, typed values kept only by OK, Enter in a number taking what was typed.
TEST_F(MoreOptionsTest, numbersShowTheStoreAndOkWritesWhatWasTyped) {
    const struct {
        const char* name;
        int stored, shown;
        const char* zero;
    } numbers[] = {
        {"LogOnTimeout", 45, 45, "never"},
        {"ReconnectStableSeconds", 0, 0, "off"},
        {"ReconnectSearchDelay", 9999, 600, "at once"},
        {"LogRotateMB", -3, 0, "never"},
    };
    for (const auto& n : numbers) SaveSettingLong(n.name, n.stored);
    Open();
    for (const auto& n : numbers) {
        SCOPED_TRACE(n.name);
        auto* box = window->findChild<QSpinBox*>(QString::fromLatin1(n.name));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->value(), n.shown);
        EXPECT_EQ(box->specialValueText(), QString::fromLatin1(n.zero));
        EXPECT_FALSE(box->accessibleName().isEmpty());
    }
    window->findChild<QSpinBox*>(QStringLiteral("LogOnTimeout"))->setValue(0);
    QTest::keyClick(&*window, Qt::Key_Escape);
    EXPECT_EQ(GetSettingLong("LogOnTimeout", -1), 45);

    Open();
    auto* rotate = window->findChild<QSpinBox*>(QStringLiteral("LogRotateMB"));
    rotate->setFocus(Qt::TabFocusReason);
    rotate->selectAll();
    QTest::keyClicks(rotate, QStringLiteral("25"));
    QTest::keyClick(rotate, Qt::Key_Return);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(GetSettingLong("LogRotateMB", -1), 25);
    EXPECT_EQ(GetSettingLong("ReconnectSearchDelay", -1), 600);
    EXPECT_EQ(GetSettingLong("LogOnTimeout", -1), 45);
}

// The program's list is edited in the window: typed names added (any spacing, none twice),
// chosen ones removed by the button or Delete; only OK hands the result to the program's list,
// which writes it to the registry.
TEST_F(MoreOptionsTest, theIgnoreListIsEditedByHandAndOnlyOkKeepsIt) {
    SaveSettingString("IgnoreList", "bob  carl");
    Ignores().Load();
    using Names = std::vector<std::string>;
    const auto shown = [this] {
        QStringList out;
        auto* names = window->findChild<QListWidget*>(QStringLiteral("IgnoreNames"));
        for (int i = 0; i < names->count(); ++i) out.push_back(names->item(i)->text());
        return out.join(u' ');
    };
    const auto choose = [this](int row) {
        auto* names = window->findChild<QListWidget*>(QStringLiteral("IgnoreNames"));
        names->setFocus(Qt::TabFocusReason);
        names->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
        return names;
    };

    Open();
    EXPECT_EQ(shown(), QStringLiteral("bob carl"));
    auto* field = window->findChild<QLineEdit*>(QStringLiteral("IgnoreName"));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->accessibleName(), QStringLiteral("Nickname to ignore:"));
    field->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(field, QStringLiteral("Dave   BOB eve"));
    QTest::keyClick(field, Qt::Key_Return);  // adds; it does not press OK
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(shown(), QStringLiteral("bob carl Dave eve"));
    EXPECT_TRUE(field->text().isEmpty());
    // A character no nickname holds: nothing added, the text kept, and the window says why until
    // the text is edited.
    auto* refused = window->findChild<QLabel*>(QStringLiteral("IgnoreRefused"));
    ASSERT_NE(refused, nullptr);
    EXPECT_FALSE(refused->isVisible());
    QTest::keyClicks(field, QStringLiteral("zo"));
    field->insert(QString(QChar(0x2713)));  // what no key of the test's keyboard types
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(shown(), QStringLiteral("bob carl Dave eve"));
    EXPECT_FALSE(field->text().isEmpty());
    EXPECT_TRUE(refused->isVisible());
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_FALSE(refused->isVisible());
    field->clear();
    choose(1);
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("RemoveIgnored")),
                      Qt::LeftButton);
    QTest::keyClick(choose(0), Qt::Key_Delete);
    EXPECT_EQ(shown(), QStringLiteral("Dave eve"));
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_EQ(Ignores().Names(), (Names{"bob", "carl"}));
    EXPECT_EQ(GetSettingString("IgnoreList", "?"), "bob  carl");

    Open();
    EXPECT_EQ(shown(), QStringLiteral("bob carl"));
    field = window->findChild<QLineEdit*>(QStringLiteral("IgnoreName"));
    field->setText(QStringLiteral("zed"));
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("AddIgnored")),
                      Qt::LeftButton);
    QTest::keyClick(choose(0), Qt::Key_Delete);
    QTest::mouseClick(window->findChild<VantorBtn*>(QStringLiteral("OKBtn")), Qt::LeftButton);
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(Ignores().Names(), (Names{"carl", "zed"}));
    EXPECT_EQ(GetSettingString("IgnoreList", "?"), "carl zed");

    Open();
    QTest::keyClick(choose(0), Qt::Key_Delete);
    QTest::keyClick(choose(0), Qt::Key_Delete);
    EXPECT_FALSE(window->findChild<QPushButton*>(QStringLiteral("RemoveIgnored"))->isEnabled());
    QTest::mouseClick(window->findChild<VantorBtn*>(QStringLiteral("OKBtn")), Qt::LeftButton);
    EXPECT_TRUE(Ignores().Empty());
    EXPECT_EQ(GetSettingString("IgnoreList", "?"), "");
}

TEST_F(MoreOptionsTest, openFolderShowsTheLogsFolderAndMakesItFirst) {
    std::vector<QUrl> opened;
    MoreOptionsUI::SetFolderOpener([&](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    Open();
    const std::filesystem::path root = LogRoot();
    auto* path = window->findChild<QLabel*>(QStringLiteral("LogFolder"));
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->text(), QString::fromStdString(root.string()));
    auto* button = window->findChild<QPushButton*>(QStringLiteral("OpenFolder"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("Open folder"));
    QTest::mouseClick(button, Qt::LeftButton);
    button->setFocus(Qt::TabFocusReason);
    QTest::keyClick(button, Qt::Key_Return);  // Enter on it opens, it does not press OK
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(QString::fromStdString(root.string())));
    EXPECT_TRUE(std::filesystem::is_directory(root));
}

TEST_F(MoreOptionsTest, everyControlIsNamedReachedByTabAndApart) {
    Open();
    std::vector<QString> tabOrder;
    QWidget* start = window->findChild<QCheckBox*>(QStringLiteral("ChatTimeStamps"));
    start->setFocus(Qt::TabFocusReason);
    for (QWidget* w = start; tabOrder.size() < 40;) {
        tabOrder.push_back(w->objectName());
        w = w->nextInFocusChain();
        // A number's own line edit takes the focus the number is given.
        while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(window.get()) ||
               w->objectName().startsWith(u"qt_"))
            w = w->nextInFocusChain();
        if (w == start) break;
    }
    const std::vector<QString> expected = {QStringLiteral("ChatTimeStamps"),
                                           QStringLiteral("ChatLobbyEvents"),
                                           QStringLiteral("PageIgnoreButton"),
                                           QStringLiteral("LogConversations"),
                                           QStringLiteral("LogRotateMB"),
                                           QStringLiteral("OpenFolder"),
                                           QStringLiteral("IgnoreNames"),
                                           QStringLiteral("RemoveIgnored"),
                                           QStringLiteral("IgnoreName"),
                                           QStringLiteral("AddIgnored"),
                                           QStringLiteral("PagesFromBuddiesOnly"),
                                           QStringLiteral("BuddySort"),
                                           QStringLiteral("BuddyHideOffline"),
                                           QStringLiteral("BuddyIcons"),
                                           QStringLiteral("BuddyJoin"),
                                           QStringLiteral("AutoReconnect"),
                                           QStringLiteral("LogOnCancel"),
                                           QStringLiteral("StatusReasons"),
                                           QStringLiteral("LogOnTimeout"),
                                           QStringLiteral("ReconnectStableSeconds"),
                                           QStringLiteral("ReconnectSearchDelay"),
                                           QStringLiteral("DesktopNotify"),
                                           QStringLiteral("NotifyRateLimit"),
                                           QStringLiteral("BuddyAlerts"),
                                           QStringLiteral("TrayIcon"),
                                           QStringLiteral("ElideStatus"),
                                           QStringLiteral("PageSound"),
                                           QStringLiteral("OKBtn"),
                                           QStringLiteral("CancelBtn")};
    EXPECT_EQ(tabOrder, expected);
    for (auto* button : window->findChildren<QAbstractButton*>()) {
        const QString name =
            button->accessibleName().isEmpty() ? button->text() : button->accessibleName();
        EXPECT_FALSE(name.isEmpty()) << button->objectName().toStdString();
    }
    EXPECT_GE(test::ExpectControlsApart(*window, QString()), 10);
}

// What the OPTIONS window shows of its own controls: name, kind, text, place, in tab order.
struct Control {
    QString name, kind, text;
    QRect place;
    bool operator==(const Control&) const = default;
};

std::vector<Control> ClassicControls(SettingUI& dialog) {
    std::vector<Control> controls;
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        if (w->objectName() == u"MoreOptions" || w->objectName().startsWith(u"qt_")) continue;
        QString text;
        if (auto* b = qobject_cast<QAbstractButton*>(w)) text = b->text();
        if (auto* l = qobject_cast<QLabel*>(w)) text = l->text();
        if (auto* e = qobject_cast<QLineEdit*>(w)) text = e->text();
        if (auto* c = qobject_cast<QComboBox*>(w)) text = c->currentText();
        controls.push_back({w->objectName(), QString::fromLatin1(w->metaObject()->className()),
                            text, w->geometry()});
    }
    return controls;
}

std::vector<QString> TabOrder(SettingUI& dialog) {
    std::vector<QString> order;
    QWidget* w = &dialog;
    for (int i = 0; i < 40; ++i) {
        w = w->nextInFocusChain();
        if (w == &dialog) break;
        if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().startsWith(u"qt_"))
            order.push_back(w->objectName());
    }
    return order;
}

TEST_F(MoreOptionsTest, theOptionsWindowKeepsItsOwnControlsWithTheNewOneAfterThem) {
    SettingUI classic(held, nullptr, SettingUI::Controls::Classic);
    SettingUI options(held);
    for (SettingUI* dialog : {&classic, &options}) {
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    }
    EXPECT_EQ(options.size(), classic.size());
    EXPECT_EQ(ClassicControls(options), ClassicControls(classic));
    std::vector<QString> withIt = TabOrder(classic);
    withIt.push_back(QStringLiteral("MoreOptions"));
    EXPECT_EQ(TabOrder(options), withIt);
    auto* more = options.findChild<QPushButton*>(QStringLiteral("MoreOptions"));
    ASSERT_NE(more, nullptr);
    EXPECT_EQ(more->text(), QStringLiteral("More options..."));
    EXPECT_GE(test::ExpectControlsApart(options, QStringLiteral("BGImg")), 15);

    // Opened from OPTIONS and left again: OPTIONS is as it was, and nothing was stored.
    const std::vector<Control> before = ClassicControls(options);
    const std::vector<int> stored = Stored();
    bool seen = false;
    QTimer::singleShot(0, &options, [&] {
        auto* opened = qobject_cast<MoreOptionsUI*>(QApplication::activeModalWidget());
        seen = opened != nullptr;
        if (opened) QTest::keyClick(opened, Qt::Key_Escape);
    });
    QTest::mouseClick(more, Qt::LeftButton);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(options.isVisible());
    EXPECT_EQ(ClassicControls(options), before);
    EXPECT_EQ(Stored(), stored);
}

}  // namespace
}  // namespace vantor
