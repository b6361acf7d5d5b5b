// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QAccessible>
#include <QWidget>

#include "controls/prog_bar.h"

namespace vantor {
namespace {

TEST(ProgBarAccessible, isAProgressBarWithItsNameValueAndMaximum) {
    QWidget window;
    auto* bar = new ProgBar(&window);
    bar->setAccessibleName(QStringLiteral("Search progress"));
    bar->SetMax(10);
    bar->SetValue(7);
    window.show();

    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(bar);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::ProgressBar);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Search progress"));
    EXPECT_EQ(face->text(QAccessible::Value), QStringLiteral("7 of 10"));
    QAccessibleValueInterface* value = face->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->currentValue().toInt(), 7);
    EXPECT_EQ(value->maximumValue().toInt(), 10);
    EXPECT_EQ(value->minimumValue().toInt(), 0);
    value->setCurrentValue(3);  // read-only from outside
    EXPECT_EQ(bar->Value(), 7);
}

}  // namespace
}  // namespace vantor
