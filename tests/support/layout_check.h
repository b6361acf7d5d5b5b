// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <QLabel>
#include <QWidget>

namespace vantor::test {

// Every visible control of the window, its background aside, lies inside the window and apart
// from the others, and a label is wide enough for its text. Gives the number of controls seen.
inline qsizetype ExpectControlsApart(const QWidget& window, const QString& background) {
    QList<QWidget*> controls;
    for (QWidget* c : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (c->isVisible() && !c->isWindow() && c->objectName() != background) controls << c;
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const std::string name = controls[i]->objectName().toStdString();
        EXPECT_TRUE(window.rect().contains(controls[i]->geometry())) << name;
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                << name << " / " << controls[j]->objectName().toStdString();
        }
        if (auto* label = qobject_cast<QLabel*>(controls[i]); label && !label->text().isEmpty()) {
            EXPECT_GE(label->width(), label->sizeHint().width()) << name;
        }
    }
    return controls.size();
}

}  // namespace vantor::test
