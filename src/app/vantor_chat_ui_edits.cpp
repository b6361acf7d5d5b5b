// SPDX-License-Identifier: MIT
// The main window's dialogs that change the buddy list: adding, deleting and reordering buddies.
#include <QListWidget>
#include <QTreeWidget>

#include "app/add_buddy_ui.h"
#include "app/vantor_chat_ui.h"
#include "common/qt_text.h"
#include "reorder/reorder_ui.h"

namespace vantor {

AddBuddyUI* VantorChatUI::AddBudUI() const {
    return addBudUI_;
}

ReOrderUI* VantorChatUI::ReordUI() const {
    return reordUI_;
}

void VantorChatUI::AddBudClick() {
    if (childOpen_) return;
    addBudUI_ = new AddBuddyUI(this);
    connect(addBudUI_, &AddBuddyUI::Finished, this, &VantorChatUI::AddBudUI_Finished);
    BeginChildDialog(addBudUI_);
    addBudUI_->move(geometry().center() - addBudUI_->rect().center());
    addBudUI_->show();
}

void VantorChatUI::AddBudUI_Finished() {
    QPointer<AddBuddyUI> dialog = addBudUI_;
    addBudUI_ = nullptr;
    if (dialog && !dialog->Canceled()) {
        QStringList rows;
        for (const BuddyRow& row : session_.Buddies().Rows()) rows << FromWire(row.nick);
        if (const std::optional<QString> nick = NicknameToAdd(dialog->AddNick(), rows))
            session_.Buddies().AddBuddy(ToWire(*nick));
    }
    if (dialog) {
        dialog->hide();
        // Released later: this runs inside the dialog's own click.
        dialog->deleteLater();
    }
    EndChildDialog();
}

void VantorChatUI::DelBudClick() {
    const int row = SelectedRow();
    if (row == 0) return;
    const QString nick =
        FromWire(session_.Buddies().Rows()[static_cast<std::size_t>(row - 1)].nick);
    const auto listed = session_.Buddies().ListWatch();
    const bool yes = boxes_->Ask(this, QStringLiteral("Confirm buddy deletion"),
                                 QStringLiteral("Are you sure you want to delete \"") + nick +
                                     QStringLiteral("\" from your buddy list?"));
    // The question let events run: a log-off or a re-download may have emptied the list.
    if (yes && listed()) session_.Buddies().DeleteBuddy(row);
}

void VantorChatUI::ReOrdBudClick() {
    if (childOpen_) return;
    reordUI_ = new ReOrderUI(this);
    for (const BuddyRow& row : session_.Buddies().Rows())
        reordUI_->BuddyList()->addItem(FromWire(row.nick));
    reordUI_->Init();
    reordUI_->SetWOL(reorderLink_.get());
    reordUI_->SetRestore(restore_.get());
    reordUI_->SetMessageBoxes(runBoxes_.get());
    connect(reordUI_, &ReOrderUI::Finished, this, &VantorChatUI::ReordUI_Finished);
    BeginChildDialog(reordUI_);
    reordUI_->move(geometry().center() - reordUI_->rect().center());
    reordUI_->show();
}

void VantorChatUI::ReordUI_Finished() {
    QPointer<ReOrderUI> dialog = reordUI_;
    reordUI_ = nullptr;
    EndChildDialog();
    if (!dialog) return;
    // A run that failed after its first delete was cancelled, but changed the list all the same.
    session_.Buddies().ReorderFinished(!dialog->Canceled() || dialog->Touched());
    if (!dialog) return;
    dialog->hide();
    // Released later: this runs inside the status window's reply handling.
    dialog->deleteLater();
}

}  // namespace vantor
