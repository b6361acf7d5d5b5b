// SPDX-License-Identifier: MIT
#include "app/log_on_ui.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "app/wire_input.h"
#include "controls/theme.h"
#include "controls/vantor_btn.h"
#include "resources/art.h"
#include "resources/background.h"

namespace vantor {

namespace {

QLineEdit* Field(QWidget* parent, const QString& name, const QString& caption, int top,
                 int maxLength) {
    auto* label = new QLabel(caption, parent);
    label->setStyleSheet(TextStyle(theme::kOrange, true));
    label->setGeometry(20, top, 90, 24);

    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setAccessibleName(caption);
    edit->setMaxLength(maxLength);
    edit->setStyleSheet(FieldStyle());
    edit->setGeometry(112, top, 168, 24);
    label->setBuddy(edit);
    return edit;
}

// A short line under a field that says why a character was refused.
QLabel* Hint(QWidget* parent, const QString& name, int top) {
    auto* hint = new QLabel(parent);
    hint->setObjectName(name);
    hint->setStyleSheet(TextStyle(theme::kHint) + QStringLiteral(" font-size: 10px;"));
    hint->setGeometry(20, top, 270, 14);
    return hint;
}

}  // namespace

LogOnUI::LogOnUI(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("LogOnUI"));
    setWindowTitle(QStringLiteral("Log on to Westwood Online"));
    setModal(true);
    setFixedSize(300, 170);
    MakeBackground(this, art::SharedBackground());

    nickName_ = Field(this, QStringLiteral("NickName"), QStringLiteral("Nickname:"), 20, kMaxNick);
    passBox_ = Field(this, QStringLiteral("PassBox"), QStringLiteral("Password:"), 62, kMaxPass);
    passBox_->setEchoMode(QLineEdit::Password);
    GuardWireInput(nickName_, Hint(this, QStringLiteral("NickHint"), 45), WireField::Nickname);
    GuardWireInput(passBox_, Hint(this, QStringLiteral("PassHint"), 87), WireField::Password);

    logOnBtn_ = new VantorBtn(QStringLiteral("LOG"), this);
    logOnBtn_->setObjectName(QStringLiteral("LogOnBtn"));
    logOnBtn_->move(40, 118);
    auto* cancel = new VantorBtn(QStringLiteral("CANCEL"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    cancel->move(160, 118);

    connect(logOnBtn_, &VantorBtn::Click, this, &LogOnUI::LogOnClick);
    connect(cancel, &VantorBtn::Click, this, &LogOnUI::CancelClick);
    connect(nickName_, &QLineEdit::textChanged, this, &LogOnUI::UpdateLogOnBtn);
    connect(passBox_, &QLineEdit::textChanged, this, &LogOnUI::UpdateLogOnBtn);
    nickName_->installEventFilter(this);
    passBox_->installEventFilter(this);
    UpdateLogOnBtn();
}

void LogOnUI::SetNick(const QString& nick) {
    if (nick.isEmpty()) return;
    nick_ = nick;
    nickName_->setText(nick);
}

void LogOnUI::UpdateLogOnBtn() {
    logOnBtn_->SetEnabled(!nickName_->text().isEmpty() && !passBox_->text().isEmpty());
}

bool LogOnUI::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == nickName_ || watched == passBox_) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (logOnBtn_->Enabled()) LogOnClick();
            return true;  // never reaches the dialog's default-button handling
        }
    }
    return QDialog::eventFilter(watched, event);
}

void LogOnUI::FocusPassword() {
    if (!nickName_->text().isEmpty()) passBox_->setFocus(Qt::ActiveWindowFocusReason);
}

void LogOnUI::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FocusPassword();
}

void LogOnUI::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Offscreen and some window managers never activate the dialog; the focus still belongs there.
    FocusPassword();
}

void LogOnUI::LogOnClick() {
    canceled_ = false;
    nick_ = nickName_->text();
    pass_ = passBox_->text();
    QDialog::done(QDialog::Accepted);
}

void LogOnUI::CancelClick() {
    canceled_ = true;
    QDialog::done(QDialog::Rejected);
}

void LogOnUI::reject() {
    CancelClick();
}

void LogOnUI::closeEvent(QCloseEvent* event) {
    event->ignore();
    CancelClick();
}

}  // namespace vantor
