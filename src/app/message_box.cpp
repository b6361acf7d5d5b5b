// SPDX-License-Identifier: MIT
#include "app/message_box.h"

#include <QMessageBox>

namespace vantor {

void QtMessageBoxes::Show(QWidget* parent, BoxIcon icon, const QString& title,
                          const QString& text) {
    QMessageBox box(icon == BoxIcon::Critical ? QMessageBox::Critical : QMessageBox::Warning, title,
                    text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace vantor
