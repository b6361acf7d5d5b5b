// SPDX-License-Identifier: MIT
#include "app/add_buddy_ui.h"

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

NickRefusal RefuseNickname(const QString& typed) {
    if (typed.isEmpty()) return NickRefusal::Empty;
    for (const QChar c : typed) {
        if (c.isSpace()) return NickRefusal::Blank;
    }
    return RefusedTextHint(typed, WireField::Nickname).isEmpty() ? NickRefusal::None
                                                                 : NickRefusal::Unsendable;
}

std::optional<QString> NicknameToAdd(const QString& typed, const QStringList& rows) {
    if (RefuseNickname(typed) != NickRefusal::None) return std::nullopt;
    const QString nick = typed.toLower();
    if (rows.contains(nick, Qt::CaseSensitive)) return std::nullopt;
    return nick;
}

AddBuddyUI::AddBuddyUI(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AddBuddyUI"));
    setWindowTitle(QStringLiteral("Add Buddy"));
    setModal(false);
    setFixedSize(300, 140);
    MakeBackground(this, art::SharedBackground());

    auto* label = new QLabel(QStringLiteral("Type the nickname you want to add:"), this);
    label->setObjectName(QStringLiteral("Label"));
    label->setStyleSheet(TextStyle(theme::kOrange, true));
    label->setGeometry(15, 10, 270, 22);

    BuddyText = new QLineEdit(this);
    BuddyText->setObjectName(QStringLiteral("BuddyText"));
    BuddyText->setAccessibleName(QStringLiteral("Nickname to add"));
    BuddyText->setMaxLength(kMaxNick);
    BuddyText->setStyleSheet(FieldStyle());
    BuddyText->setGeometry(15, 34, 270, 24);
    label->setBuddy(BuddyText);

    Hint = new QLabel(this);
    Hint->setObjectName(QStringLiteral("Hint"));
    Hint->setStyleSheet(TextStyle(theme::kHint));
    Hint->setGeometry(15, 60, 270, 20);

    AddBtn = new VantorBtn(QStringLiteral("OK"), this);
    AddBtn->setObjectName(QStringLiteral("AddBtn"));
    AddBtn->move(40, 94);
    CancelBtn = new VantorBtn(QStringLiteral("CANCEL"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->move(160, 94);

    connect(AddBtn, &VantorBtn::Click, this, &AddBuddyUI::AddClick);
    connect(CancelBtn, &VantorBtn::Click, this, &AddBuddyUI::CancelClick);
    connect(BuddyText, &QLineEdit::textChanged, this, &AddBuddyUI::UpdateAddBtn);
    BuddyText->installEventFilter(this);
    GuardWireInput(BuddyText, Hint, WireField::Nickname);
    UpdateAddBtn();
}

QString AddBuddyUI::AddNick() const {
    return BuddyText->text();
}

void AddBuddyUI::UpdateAddBtn() {
    const NickRefusal refusal = RefuseNickname(BuddyText->text());
    AddBtn->SetEnabled(refusal == NickRefusal::None);
    // A clean text keeps the hint of a character refused while typing it.
    const QString hint = RefusedTextHint(BuddyText->text(), WireField::Nickname);
    if (hint.isEmpty() && !BuddyText->text().isEmpty()) return;
    Hint->setText(hint);
    BuddyText->setAccessibleDescription(hint);
}

bool AddBuddyUI::eventFilter(QObject* watched, QEvent* event) {
    if (watched == BuddyText && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            AddClick();
            return true;  // discarded, never reaches the dialog's default-button handling
        }
    }
    return QDialog::eventFilter(watched, event);
}

void AddBuddyUI::AddClick() {
    if (!AddBtn->Enabled()) return;
    Finish();
}

void AddBuddyUI::CancelClick() {
    if (finished_) return;
    canceled_ = true;
    hide();
    Finish();
}

void AddBuddyUI::Finish() {
    if (finished_) return;
    finished_ = true;
    emit Finished();
}

void AddBuddyUI::closeEvent(QCloseEvent* event) {
    if (finished_) return QDialog::closeEvent(event);
    event->ignore();
    CancelClick();
}

void AddBuddyUI::reject() {
    CancelClick();
}

}  // namespace vantor
