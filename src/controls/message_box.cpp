// SPDX-License-Identifier: MIT
#include "controls/message_box.h"

#include <QMessageBox>

namespace vantor {

namespace {

QMessageBox::Icon ToQt(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::Critical:
            return QMessageBox::Critical;
        case BoxIcon::Information:
            return QMessageBox::Information;
        case BoxIcon::Exclamation:
            break;
    }
    return QMessageBox::Warning;
}

}  // namespace

void QtMessageBoxes::Show(QWidget* parent, BoxIcon icon, const QString& title,
                          const QString& text) {
    QMessageBox box(ToQt(icon), title, text, QMessageBox::Ok, parent);
    box.exec();
}

MessageBoxes& ModalBoxes() {
    static QtMessageBoxes boxes;
    return boxes;
}

bool QtMessageBoxes::Ask(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace vantor
