// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <deque>
#include <functional>

class QLineEdit;

namespace vantor {

// The keys a send box adds to a line edit: Tab completes the nickname before the cursor from a
// list (case-insensitive prefix; Tab again goes on to the next match; at the start of the line
// ": " follows it), Up and Down bring back the lines sent from it. Tab with nothing to complete
// moves the focus as everywhere else.
class SendBoxKeys : public QObject {
    Q_OBJECT

public:
    static constexpr std::size_t kRecalled = 50;  // lines kept for Up and Down

    using Names = std::function<QStringList()>;
    SendBoxKeys(QLineEdit* box, Names names);  // a child of box

    // A line left the box: it is the newest one Up brings back.
    void Sent(const QString& line);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Complete();
    bool Recall(int step);  // -1 older, +1 newer

    QLineEdit* box_;
    Names names_;
    // The completion Tab is cycling through, valid while the box is as it left it.
    QStringList matches_;
    qsizetype matchIndex_ = 0;
    int wordStart_ = 0;
    QString completedText_;
    int completedCursor_ = -1;
    std::deque<QString> sent_;
    std::size_t recallAt_ = 0;  // sent_.size(): the line being typed
    QString draft_;
};

// The users of the open lobby, for completion in the page windows; the lobby window names
// itself as their source, and the list is empty once it is gone.
void SetLobbyUsers(QObject* owner, std::function<QStringList()> users);
QStringList LobbyUsers();

}  // namespace vantor
