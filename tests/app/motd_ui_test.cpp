// SPDX-License-Identifier: MIT
#include "app/motd_ui.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTextEdit>

#include "app_fixture.h"
#include "controls/vantor_btn.h"

namespace vantor::test {
namespace {

// The window opens with the focus on OK, so Space or Enter dismisses it at once; Enter in the
// text, Escape and a click do too.
TEST(MOTDUI, opensWithTheFocusOnOkAndEveryWayOfDismissingItDeletesIt) {
    const struct {
        const char* name;
        const char* control;  // where the key goes; nullptr: a click on OK
        Qt::Key key;
    } rows[] = {
        {"Space on OK", "OKBtn", Qt::Key_Space},
        {"Enter on OK", "OKBtn", Qt::Key_Return},
        {"keypad Enter on OK", "OKBtn", Qt::Key_Enter},
        {"Enter in the text", "MOTDText", Qt::Key_Return},
        {"Escape", "OKBtn", Qt::Key_Escape},
        {"click", nullptr, Qt::Key_unknown},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ScopedRegistry registry;
        auto* motd = new MOTDUI;
        motd->SetMOTD(QStringLiteral("News\r\nmore news"));
        motd->show();
        QApplication::setActiveWindow(motd);
        ASSERT_TRUE(QTest::qWaitForWindowActive(motd));
        auto* ok = motd->findChild<VantorBtn*>(QStringLiteral("OKBtn"));
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(QApplication::focusWidget(), ok);

        QPointer<MOTDUI> gone = motd;
        if (row.control == nullptr) {
            QTest::mouseClick(ok, Qt::LeftButton);
        } else {
            auto* target = motd->findChild<QWidget*>(QString::fromLatin1(row.control));
            ASSERT_NE(target, nullptr);
            target->setFocus(Qt::TabFocusReason);
            QTest::keyClick(target, row.key);
        }
        EXPECT_TRUE(PumpUi([&] { return gone.isNull(); }));
        delete gone.data();
    }
}

}  // namespace
}  // namespace vantor::test
