// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QPointer>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "reorder/buddy_reorder.h"

class QLabel;
class QListWidget;
class QTimer;

namespace vantor {

class BuddyRestore;
class MessageBoxes;
class ProgBar;
class ReorderLink;

// The order file, in the working folder.
inline constexpr const char* kOrderFileName = "BudListReordTemp.tmp";

// The reorder's progress: deletes every buddy of BuddyList, adds them again in its order, and
// reports Finished after the success box, or Failed with a text naming what went wrong. Refuses
// every request to close it but its owner's CloseByProgram.
class ReOrderStatusUI : public QDialog {
    Q_OBJECT

public:
    static constexpr int kAnswerTimeoutMs = 15000;

    explicit ReOrderStatusUI(QWidget* parent = nullptr);
    ~ReOrderStatusUI() override;

    void SetWOLCon(ReorderLink* link);  // not owned
    void SetBuddyList(QListWidget* list);
    void SetRestore(BuddyRestore* restore);     // not owned; must outlive the run
    void SetMessageBoxes(MessageBoxes* boxes);  // not owned; nullptr restores the real boxes
    void SetAnswerTimeout(int ms);

    // Opens the run: the order file, then one DELBUDDY per row. False when there is nothing to do.
    bool Begin();
    void ConnectionLost();
    void SessionError(int code);
    void CloseByProgram();

    const BuddyReorder* Run() const { return run_.get(); }

signals:
    void Finished();
    void Failed(const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void OnProgress(int value);
    void OnSucceeded();
    void OnFailed(const BuddyReorder::Failure& failure);

    ReorderLink* link_ = nullptr;
    QPointer<QListWidget> list_;
    BuddyRestore* restore_ = nullptr;
    MessageBoxes* boxes_;
    std::unique_ptr<BuddyReorder> run_;
    QLabel* pWait_ = nullptr;
    ProgBar* progBar_ = nullptr;
    QTimer* answerTimer_ = nullptr;
    bool closing_ = false;
};

// "a, b, c": nicknames for a message.
QString NickListText(const std::vector<std::string>& nicks);
// The message of a failed run: what happened, and what becomes of the buddies not yet back.
QString ReorderFailureText(const BuddyReorder::Failure& failure);
// The message at log-on after buddies of an unfinished reorder were added back.
QString RestoredAtLogOnText(const std::vector<std::string>& nicks);

}  // namespace vantor
