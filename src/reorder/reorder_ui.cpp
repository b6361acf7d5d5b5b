// SPDX-License-Identifier: MIT
#include "reorder/reorder_ui.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QListWidget>

#include "controls/message_box.h"
#include "controls/theme.h"
#include "controls/vantor_btn.h"
#include "reorder/buddy_restore.h"
#include "reorder/reorder_link.h"
#include "resources/art.h"
#include "resources/background.h"
#include "session/wolcon.h"

namespace vantor {

namespace {

VantorBtn* Button(QWidget* parent, const QString& name, const QString& word, const QString& spoken,
                  int top) {
    auto* button = new VantorBtn(word, parent);
    button->setObjectName(name);
    button->setAccessibleName(spoken);
    button->move(220, top);
    return button;
}

}  // namespace

ReOrderUI::ReOrderUI(QWidget* parent) : QDialog(parent), boxes_(&ModalBoxes()) {
    setObjectName(QStringLiteral("ReOrderUI"));
    setWindowTitle(QStringLiteral("Reorder Buddy List"));
    setWindowIcon(art::WindowIcon());
    setModal(false);
    setFixedSize(330, 250);
    ApplyBackground(this);

    BudList = new QListWidget(this);
    BudList->setObjectName(QStringLiteral("BudList"));
    BudList->setAccessibleName(QStringLiteral("Buddy order"));
    BudList->setSelectionMode(QAbstractItemView::SingleSelection);
    BudList->setGeometry(10, 10, 200, 230);
    QPalette listPalette = BudList->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        listPalette.setColor(group, QPalette::Base, theme::kBlack);
        listPalette.setColor(group, QPalette::Text, theme::kOrange);
        listPalette.setColor(group, QPalette::Highlight, theme::kEmber);
        listPalette.setColor(group, QPalette::HighlightedText, theme::kWhite);
    }
    BudList->setPalette(listPalette);
    ThemeScrollBars(BudList);

    MoveUBtn = Button(this, QStringLiteral("MoveUBtn"), QStringLiteral("MOVEUP"),
                      QStringLiteral("Move up"), 10);
    MoveDBtn = Button(this, QStringLiteral("MoveDBtn"), QStringLiteral("MOVEDOWN"),
                      QStringLiteral("Move down"), 50);
    OKBtn = Button(this, QStringLiteral("OKBtn"), QStringLiteral("OK"), QStringLiteral("OK"), 166);
    CancelBtn = Button(this, QStringLiteral("CancelBtn"), QStringLiteral("CANCEL"),
                       QStringLiteral("CANCEL"), 206);

    connect(MoveUBtn, &VantorBtn::Click, this, &ReOrderUI::MoveUpClick);
    connect(MoveDBtn, &VantorBtn::Click, this, &ReOrderUI::MoveDownClick);
    connect(OKBtn, &VantorBtn::Click, this, &ReOrderUI::OKClick);
    connect(CancelBtn, &VantorBtn::Click, this, &ReOrderUI::CancelClick);
    // The arrow keys choose a row as a click does.
    connect(BudList, &QListWidget::currentRowChanged, this, &ReOrderUI::RowChosen);
    connect(BudList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { RowChosen(BudList->row(item)); });
}

ReOrderUI::~ReOrderUI() = default;

void ReOrderUI::Init() {
    if (BudList->count() < 2) {
        MoveUBtn->SetEnabled(false);
        MoveDBtn->SetEnabled(false);
        return;
    }
    SelectRow(0);
    MoveUBtn->SetEnabled(false);
    MoveDBtn->SetEnabled(true);
}

void ReOrderUI::SetWOL(ReorderLink* wol) {
    link_ = wol;
}

void ReOrderUI::SetRestore(BuddyRestore* restore) {
    restore_ = restore;
}

void ReOrderUI::SetMessageBoxes(MessageBoxes* boxes) {
    boxes_ = boxes ? boxes : &ModalBoxes();
}

void ReOrderUI::SetAnswerTimeout(int ms) {
    answerTimeoutMs_ = ms;
}

void ReOrderUI::SelectRow(int row) {
    moving_ = true;
    BudList->setCurrentRow(row);
    moving_ = false;
}

void ReOrderUI::MoveUpClick() {
    const int i = BudList->currentRow();
    if (i >= 1) {
        QListWidgetItem* above = BudList->item(i - 1);
        QListWidgetItem* here = BudList->item(i);
        const QString text = above->text();
        above->setText(here->text());
        here->setText(text);
        SelectRow(i - 1);
        if (i - 1 == 0) {
            MoveUBtn->SetEnabled(false);
            MoveDBtn->SetEnabled(true);
        }
    }
    BudList->setFocus(Qt::OtherFocusReason);
}

void ReOrderUI::MoveDownClick() {
    const int i = BudList->currentRow();
    const int last = BudList->count() - 1;
    if (i >= 0 && i < last) {
        QListWidgetItem* below = BudList->item(i + 1);
        QListWidgetItem* here = BudList->item(i);
        const QString text = below->text();
        below->setText(here->text());
        here->setText(text);
        SelectRow(i + 1);
        if (i + 1 == last) {
            MoveDBtn->SetEnabled(false);
            MoveUBtn->SetEnabled(true);
        }
    }
    BudList->setFocus(Qt::OtherFocusReason);
}

void ReOrderUI::RowChosen(int row) {
    // A single row cannot move: its buttons stay off rather than offer a move that does nothing.
    if (moving_ || row < 0 || BudList->count() < 2) return;
    const int last = BudList->count() - 1;
    MoveUBtn->SetEnabled(row != 0);
    MoveDBtn->SetEnabled(row != last);
}

void ReOrderUI::OKClick() {
    if (busy_ || finished_) return;
    if (BudList->count() == 0) {
        // Nothing to delete or add, so no answer would ever come: done at once.
        hide();
        return Finish();
    }
    if (link_ == nullptr) return;
    if (restore_ == nullptr) {
        if (!ownRestore_) ownRestore_ = std::make_unique<BuddyRestore>(BuddyRestore::DefaultFile());
        restore_ = ownRestore_.get();
    }
    OKBtn->SetEnabled(false);
    CancelBtn->SetEnabled(false);
    MoveUBtn->SetEnabled(false);
    MoveDBtn->SetEnabled(false);

    Stat_ = new ReOrderStatusUI(this);
    Stat_->SetBuddyList(BudList);
    Stat_->SetWOLCon(link_);
    Stat_->SetRestore(restore_);
    Stat_->SetMessageBoxes(boxes_);
    Stat_->SetAnswerTimeout(answerTimeoutMs_);
    connect(Stat_, &ReOrderStatusUI::Finished, this, &ReOrderUI::StatFinished);
    connect(Stat_, &ReOrderStatusUI::Failed, this, &ReOrderUI::StatFailed);

    busy_ = true;
    touched_ = true;
    setEnabled(false);
    Stat_->setEnabled(true);  // a child window would inherit the disabled state
    Stat_->move(geometry().center() - Stat_->rect().center());
    Stat_->show();
    // May end the run (and drop Stat_) before it returns: nothing of it is touched afterwards.
    Stat_->Begin();
}

void ReOrderUI::StatFinished() {
    busy_ = false;
    DropStat();
    setEnabled(true);
    Finish();
}

void ReOrderUI::StatFailed(const QString& text) {
    busy_ = false;
    DropStat();
    setEnabled(true);
    CancelBtn->SetEnabled(true);
    CancelBtn->setFocus(Qt::OtherFocusReason);
    boxes_->Show(this, BoxIcon::Exclamation, QStringLiteral("Reorder failed"), text);
}

void ReOrderUI::DropStat() {
    if (!Stat_) return;
    Stat_->CloseByProgram();
    // Released later: this runs inside the status window's own reply handling.
    Stat_->deleteLater();
    Stat_ = nullptr;
}

void ReOrderUI::ConnectionLost() {
    if (Stat_) Stat_->ConnectionLost();
}

void ReOrderUI::SessionError(int code) {
    if (Stat_) Stat_->SessionError(code);
}

void ReOrderUI::CancelClick() {
    if (busy_ || finished_) return;
    canceled_ = true;
    hide();
    Finish();
}

void ReOrderUI::Finish() {
    if (finished_) return;
    finished_ = true;
    emit Finished();
}

void ReOrderUI::closeEvent(QCloseEvent* event) {
    if (finished_) return QDialog::closeEvent(event);
    // Refused; counts as Cancel, except while a run is on: its buddies are off the list.
    event->ignore();
    CancelClick();
}

void ReOrderUI::reject() {
    CancelClick();
}

void ReOrderUI::keyPressEvent(QKeyEvent* event) {
    // Image buttons are not default buttons: Enter presses the focused one, elsewhere OK.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<VantorBtn*>(focusWidget())) {
            if (button->isEnabled()) button->click();
        } else if (OKBtn->isEnabled()) {
            OKClick();
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

void ReOrderUI::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // While a run is on the status window takes the focus whenever this one would.
    if (event->type() == QEvent::ActivationChange && busy_ && Stat_ && isActiveWindow()) {
        Stat_->activateWindow();
        Stat_->raise();
    }
}

}  // namespace vantor
