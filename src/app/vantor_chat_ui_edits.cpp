// SPDX-License-Identifier: MIT
// The main window's changes to the buddy list: adding, deleting and reordering buddies, and
// putting back the buddies an unfinished reorder took off.
#include <QListWidget>
#include <QTimer>
#include <QTreeWidget>

#include "app/add_buddy_ui.h"
#include "app/vantor_chat_ui.h"
#include "common/qt_text.h"
#include "controls/vantor_btn.h"
#include "reorder/buddy_restore.h"
#include "reorder/reorder_link.h"
#include "reorder/reorder_ui.h"
#include "transport/wolcon2.h"

namespace vantor {

namespace {

BoxIcon FromQt(QMessageBox::Icon icon) {
    switch (icon) {
        case QMessageBox::Critical:
            return BoxIcon::Critical;
        case QMessageBox::Information:
            return BoxIcon::Information;
        default:
            return BoxIcon::Exclamation;
    }
}

}  // namespace

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
    if (dialog && !dialog->Canceled()) AddBuddy(dialog->AddNick());
    if (dialog) {
        dialog->hide();
        // Released later: this runs inside the dialog's own click.
        dialog->deleteLater();
    }
    EndChildDialog();
}

void VantorChatUI::AddBuddy(const QString& typed) {
    QStringList rows;
    for (int i = 0; i < buddyList_->topLevelItemCount(); ++i)
        rows << buddyList_->topLevelItem(i)->text(0);
    const std::optional<QString> nick = NicknameToAdd(typed, rows);
    if (!nick || !LoggedOn()) return;

    wol_->send(std::string(kAddBuddy) + ToWire(*nick));
    if (buddyList_->columnCount() == 0) SetupColumns(false);
    QStringList cells{*nick};
    for (int c = 1; c < buddyList_->columnCount(); ++c) cells << QStringLiteral("Unknown");
    auto* row = new QTreeWidgetItem(buddyList_, cells);
    if (!buddyList_->currentItem()) buddyList_->setCurrentItem(row);
    for (VantorBtn* b : {refreshBud_, addBud_, delBud_, reOrdBud_}) b->SetEnabled(false);
    buddyMnuRef_->setEnabled(false);
    search_.RefreshRow(*wol_, buddyList_->topLevelItemCount(), ToWire(*nick));
}

void VantorChatUI::DelBudClick() {
    QTreeWidgetItem* row = SelectedBuddy();
    if (!row) return;
    const QString nick = row->text(0);
    const int index = buddyList_->indexOfTopLevelItem(row);
    const auto listed = listFill_.watch();
    const bool yes = boxes_->Ask(this, QStringLiteral("Confirm buddy deletion"),
                                 QStringLiteral("Are you sure you want to delete \"") + nick +
                                     QStringLiteral("\" from your buddy list?"));
    // The question let events run: a log-off or a re-download may have emptied the list.
    if (!yes || ending_ || !listed() || !LoggedOn()) return;
    wol_->send(std::string(kDelBuddy) + ToWire(nick));
    delete buddyList_->takeTopLevelItem(index);
}

void VantorChatUI::ReOrdBudClick() {
    if (childOpen_) return;
    reordUI_ = new ReOrderUI(this);
    for (int i = 0; i < buddyList_->topLevelItemCount(); ++i)
        reordUI_->BuddyList()->addItem(buddyList_->topLevelItem(i)->text(0));
    reordUI_->Init();
    reordUI_->SetWOL(wol_.get());
    reordUI_->SetRestore(restore_.get());
    reordUI_->SetBoxShower(
        [this](QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text) {
            if (!ending_) boxes_->Show(parent, FromQt(icon), title, text);
        });
    connect(reordUI_, &ReOrderUI::Finished, this, &VantorChatUI::ReordUI_Finished);
    BeginChildDialog(reordUI_);
    reordUI_->move(geometry().center() - reordUI_->rect().center());
    reordUI_->show();
}

void VantorChatUI::ReordUI_Finished() {
    QPointer<ReOrderUI> dialog = reordUI_;
    reordUI_ = nullptr;
    EndChildDialog();
    // A run that failed after its first delete was cancelled, but the service's list has changed
    // all the same. Over a lost connection the next log-on downloads it (and mends it).
    if (dialog && (!dialog->Canceled() || dialog->Touched()) && LoggedOn() &&
        wol_->Interface().IsConnected()) {
        for (VantorBtn* b : {pageBud_, addBud_, delBud_, refreshBud_}) b->SetEnabled(false);
        ClearBuddyList();
        wol_->GetBuddies();
    }
    if (dialog) {
        dialog->hide();
        // Released later: this runs inside the status window's reply handling.
        dialog->deleteLater();
    }
}

std::vector<std::string> VantorChatUI::RestoreAtLogOn(const std::vector<std::string>& downloaded) {
    if (!restoreDue_) return {};
    restoreDue_ = false;
    return restore_->RestoreAtLogOn(*MakeWolReorderLink(*wol_), downloaded);
}

void VantorChatUI::ShowRestored(const std::vector<std::string>& nicks) {
    if (nicks.empty()) return;
    // After the receive pass that brought the list, so the location search is not held up.
    QTimer::singleShot(0, this, [this, text = RestoredAtLogOnText(nicks)] {
        ShowBox(BoxIcon::Information, QStringLiteral("Buddies restored"), text);
    });
}

}  // namespace vantor
