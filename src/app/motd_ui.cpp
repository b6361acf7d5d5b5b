// SPDX-License-Identifier: MIT
#include "app/motd_ui.h"

#include <QKeyEvent>
#include <QTextEdit>

#include "controls/theme.h"
#include "controls/vantor_btn.h"
#include "resources/art.h"
#include "resources/background.h"

namespace vantor {

MOTDUI::MOTDUI(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("MOTDUI"));
    setWindowTitle(QStringLiteral("Message of the Day"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(580, 340);
    MakeBackground(this, art::SharedBackground());

    text_ = new QTextEdit(this);
    text_->setObjectName(QStringLiteral("MOTDText"));
    text_->setAccessibleName(QStringLiteral("Message of the day"));
    text_->setReadOnly(true);
    text_->setAcceptRichText(false);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text_->setStyleSheet(
        QStringLiteral("QTextEdit { background-color: %1; color: %2; border: 1px solid %3; }")
            .arg(theme::kDarkRed.name(), theme::kOrange.name(), theme::kEmber.name()));
    ThemeScrollBars(text_);
    text_->setGeometry(10, 10, 560, 272);
    text_->installEventFilter(this);

    auto* ok = new VantorBtn(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->move((580 - 100) / 2, 292);
    connect(ok, &VantorBtn::Click, this, &MOTDUI::close);
    // The window is read and dismissed: the focus starts on OK, not in the text.
    ok->setFocus(Qt::OtherFocusReason);
}

QString MOTDUI::MOTD() const {
    return motd_;
}

void MOTDUI::SetMOTD(const QString& text) {
    motd_ = text;
    // The service ends its lines with CR LF; a bare CR would show as a stray character.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text_->setPlainText(shown);
}

void MOTDUI::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // OK shows its focus mark at once, as if reached with Tab; set before, the flag is gone by now.
    setAttribute(Qt::WA_KeyboardFocusChange);
}

void MOTDUI::keyPressEvent(QKeyEvent* event) {
    // Enter on OK (or anywhere no control takes it) dismisses, as it does in the text.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool MOTDUI::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            close();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vantor
