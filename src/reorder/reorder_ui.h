// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

#include "reorder/reorder_status_ui.h"

class QListWidget;

namespace vantor {

class BuddyRestore;
class MessageBoxes;
class ReorderLink;
class VantorBtn;

// "Reorder Buddy List": the user moves nicknames up and down; OK re-uploads the list in the new
// order through a status window. Raises Finished once: after Cancel (Canceled true), after a
// completed adjustment, or at once after OK on an empty list. After a failed run only CANCEL is
// left on; the failure's box has said what happened and what becomes of the buddies.
//
// The owner forwards the session's trouble while a run is on: ConnectionLost when a receive pass
// reports the connection closed, SessionError for each Error of the session.
class ReOrderUI : public QDialog {
    Q_OBJECT

public:
    explicit ReOrderUI(QWidget* parent = nullptr);
    ~ReOrderUI() override;

    QListWidget* BuddyList() const { return BudList; }  // the caller adds one row per buddy
    void Init();

    // The session to send through (MakeWolReorderLink, or a recorder); not owned.
    void SetWOL(ReorderLink* wol);
    // Not owned, must outlive any run; without one the window keeps its own record at
    // BuddyRestore::DefaultFile().
    void SetRestore(BuddyRestore* restore);
    void SetMessageBoxes(MessageBoxes* boxes);  // not owned; nullptr restores the real boxes
    void SetAnswerTimeout(int ms);

    bool Canceled() const { return canceled_; }
    bool Busy() const { return busy_; }
    // A run sent its first DELBUDDY: the list shown by the owner may no longer be the service's.
    bool Touched() const { return touched_; }
    ReOrderStatusUI* Stat() const { return Stat_; }

    void ConnectionLost();
    void SessionError(int code);

signals:
    void Finished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void MoveUpClick();
    void MoveDownClick();
    void RowChosen(int row);
    void SelectRow(int row);
    void OKClick();
    void CancelClick();
    void StatFinished();
    void StatFailed(const QString& text);
    void DropStat();
    void Finish();

    QListWidget* BudList = nullptr;
    VantorBtn* MoveUBtn = nullptr;
    VantorBtn* MoveDBtn = nullptr;
    VantorBtn* OKBtn = nullptr;
    VantorBtn* CancelBtn = nullptr;
    QPointer<ReOrderStatusUI> Stat_;

    ReorderLink* link_ = nullptr;
    std::unique_ptr<BuddyRestore> ownRestore_;
    BuddyRestore* restore_ = nullptr;
    MessageBoxes* boxes_;
    int answerTimeoutMs_ = ReOrderStatusUI::kAnswerTimeoutMs;

    bool canceled_ = false;
    bool busy_ = false;
    bool touched_ = false;
    bool moving_ = false;  // a move sets the current row itself; it is not a click
    bool finished_ = false;
};

}  // namespace vantor
