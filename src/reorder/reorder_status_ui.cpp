// SPDX-License-Identifier: MIT
#include "reorder/reorder_status_ui.h"

#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QTimer>

#include "common/qt_text.h"
#include "controls/message_box.h"
#include "controls/prog_bar.h"
#include "controls/theme.h"
#include "reorder/buddy_restore.h"
#include "resources/art.h"
#include "resources/background.h"

namespace vantor {

namespace {

QString PhaseText(int phase) {
    return phase == BuddyReorder::kDeleting
               ? QStringLiteral("while your buddies were being removed.")
               : QStringLiteral("while your buddies were being added back in the new order.");
}

}  // namespace

QString NickListText(const std::vector<std::string>& nicks) {
    QStringList names;
    for (const std::string& nick : nicks) names << FromWire(nick);
    return names.join(QStringLiteral(", "));
}

QString ReorderFailureText(const BuddyReorder::Failure& failure) {
    QString what;
    switch (failure.cause) {
        case BuddyReorder::Cause::NoAnswer:
            what = QStringLiteral("The service stopped answering ") + PhaseText(failure.phase);
            break;
        case BuddyReorder::Cause::Refused:
            what = QStringLiteral("The service refused to %1 %2 (reply %3).")
                       .arg(failure.phase == BuddyReorder::kDeleting ? QStringLiteral("remove")
                                                                     : QStringLiteral("add"),
                            FromWire(failure.nick), FromWire(failure.code));
            break;
        case BuddyReorder::Cause::ConnectionLost:
            what = QStringLiteral("The connection to the service was lost ") +
                   PhaseText(failure.phase);
            break;
        case BuddyReorder::Cause::SessionError:
            what = QStringLiteral("The connection to the service failed (error %1) ")
                       .arg(failure.error) +
                   PhaseText(failure.phase);
            break;
    }
    if (failure.pending.empty()) return what;
    return what +
           (failure.addingBack
                ? QStringLiteral(" These buddies are being added back now: ")
                : QStringLiteral(" These buddies will be added back at your next log-on: ")) +
           NickListText(failure.pending) + QLatin1Char('.');
}

QString RestoredAtLogOnText(const std::vector<std::string>& nicks) {
    return QStringLiteral(
               "An unfinished reorder had taken these buddies off your list; they have been "
               "added back: ") +
           NickListText(nicks) + QLatin1Char('.');
}

ReOrderStatusUI::ReOrderStatusUI(QWidget* parent) : QDialog(parent), boxes_(&ModalBoxes()) {
    setObjectName(QStringLiteral("ReOrderStatusUI"));
    setWindowTitle(QStringLiteral("Reordering buddy list..."));
    setWindowIcon(art::WindowIcon());
    setModal(false);
    setFixedSize(360, 96);
    ApplyBackground(this);
    setCursor(Qt::WaitCursor);

    pWait_ = new QLabel(QStringLiteral("Please wait while you buddy list is adjusted..."), this);
    pWait_->setObjectName(QStringLiteral("PWait"));
    pWait_->setStyleSheet(TextStyle(theme::kOrange, true));
    pWait_->setGeometry(12, 14, 336, 24);

    progBar_ = new ProgBar(this);
    progBar_->setObjectName(QStringLiteral("ProgBar"));
    progBar_->setAccessibleName(QStringLiteral("Reorder progress"));
    progBar_->setGeometry(12, 52, 336, 20);
    progBar_->setFocusPolicy(Qt::StrongFocus);  // something to hold the focus while it runs

    answerTimer_ = new QTimer(this);
    answerTimer_->setObjectName(QStringLiteral("AnswerTimer"));
    answerTimer_->setSingleShot(true);
    answerTimer_->setInterval(kAnswerTimeoutMs);
    connect(answerTimer_, &QTimer::timeout, this, [this] {
        if (run_) run_->NoAnswer();
    });
}

ReOrderStatusUI::~ReOrderStatusUI() = default;

void ReOrderStatusUI::SetWOLCon(ReorderLink* link) {
    link_ = link;
}
void ReOrderStatusUI::SetBuddyList(QListWidget* list) {
    list_ = list;
}
void ReOrderStatusUI::SetRestore(BuddyRestore* restore) {
    restore_ = restore;
}
void ReOrderStatusUI::SetMessageBoxes(MessageBoxes* boxes) {
    boxes_ = boxes ? boxes : &ModalBoxes();
}
void ReOrderStatusUI::SetAnswerTimeout(int ms) {
    answerTimer_->setInterval(ms);
}

bool ReOrderStatusUI::Begin() {
    if (run_ || link_ == nullptr || restore_ == nullptr || !list_) return false;
    std::vector<std::string> order;
    for (int row = 0; row < list_->count(); ++row)
        order.push_back(ToWire(list_->item(row)->text()));

    run_ = std::make_unique<BuddyReorder>(*link_, *restore_, kOrderFileName);
    QPointer<ReOrderStatusUI> self(this);
    run_->Progress = [self](int value) {
        if (self) self->OnProgress(value);
    };
    run_->Succeeded = [self] {
        if (self) self->OnSucceeded();
    };
    run_->Failed = [self](const BuddyReorder::Failure& failure) {
        if (self) self->OnFailed(failure);
    };
    progBar_->SetMax(2 * int(order.size()));
    progBar_->SetValue(0);
    progBar_->setFocus(Qt::OtherFocusReason);
    answerTimer_->start();
    return run_->Start(std::move(order));
}

void ReOrderStatusUI::ConnectionLost() {
    if (run_) run_->ConnectionLost();
}

void ReOrderStatusUI::SessionError(int code) {
    if (run_) run_->SessionError(code);
}

void ReOrderStatusUI::OnProgress(int value) {
    progBar_->SetValue(value);
    answerTimer_->start();  // each answer gives the next one the full time again
}

void ReOrderStatusUI::OnSucceeded() {
    answerTimer_->stop();
    QPointer<ReOrderStatusUI> self(this);
    boxes_->Show(
        this, BoxIcon::Information, QStringLiteral("Success"),
        QStringLiteral("Buddy list successfully adjusted, the main window will now be refreshed."));
    if (self) emit Finished();
}

void ReOrderStatusUI::OnFailed(const BuddyReorder::Failure& failure) {
    answerTimer_->stop();
    emit Failed(ReorderFailureText(failure));
}

void ReOrderStatusUI::CloseByProgram() {
    closing_ = true;
    answerTimer_->stop();
    close();
}

void ReOrderStatusUI::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ReOrderStatusUI::reject() {
    // Escape: the run goes on.
}

}  // namespace vantor
