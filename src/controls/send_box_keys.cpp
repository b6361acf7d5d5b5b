// SPDX-License-Identifier: MIT
#include "controls/send_box_keys.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

namespace vantor {

namespace {

struct LobbySource {
    QPointer<QObject> owner;
    std::function<QStringList()> users;
};

LobbySource& Lobby() {
    static LobbySource source;
    return source;
}

// Sorted without regard to case and each name once (as first listed), so Tab cycles in a
// stable order.
QStringList Matching(QStringList names, const QString& prefix) {
    names.erase(std::remove_if(names.begin(), names.end(),
                               [&](const QString& name) {
                                   return name.isEmpty() ||
                                          !name.startsWith(prefix, Qt::CaseInsensitive);
                               }),
                names.end());
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    names.erase(std::unique(names.begin(), names.end(),
                            [](const QString& a, const QString& b) {
                                return a.compare(b, Qt::CaseInsensitive) == 0;
                            }),
                names.end());
    return names;
}

}  // namespace

SendBoxKeys::SendBoxKeys(QLineEdit* box, Names names)
    : QObject(box), box_(box), names_(std::move(names)) {
    box_->installEventFilter(this);
}

void SendBoxKeys::Sent(const QString& line) {
    sent_.push_back(line);
    if (sent_.size() > kRecalled) sent_.pop_front();
    recallAt_ = sent_.size();
    draft_.clear();
}

bool SendBoxKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched != box_ || event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier) return false;
    switch (key->key()) {
        case Qt::Key_Tab:
            return Complete();
        case Qt::Key_Up:
            return Recall(-1);
        case Qt::Key_Down:
            return Recall(+1);
        default:
            return false;
    }
}

bool SendBoxKeys::Complete() {
    const QString text = box_->text();
    const int cursor = box_->cursorPosition();
    const bool cycling =
        !matches_.isEmpty() && text == completedText_ && cursor == completedCursor_;
    if (cycling) {
        matchIndex_ = (matchIndex_ + 1) % matches_.size();
    } else {
        wordStart_ = int(text.lastIndexOf(u' ', cursor - 1) + 1);
        const QString prefix = text.mid(wordStart_, cursor - wordStart_);
        matches_ = prefix.isEmpty() || !names_ ? QStringList() : Matching(names_(), prefix);
        matchIndex_ = 0;
        if (matches_.isEmpty()) return false;  // nothing to complete: Tab moves on
    }
    const QString word =
        matches_[matchIndex_] + (wordStart_ == 0 ? QStringLiteral(": ") : QString());
    completedText_ = text.left(wordStart_) + word + text.mid(cursor);
    completedCursor_ = wordStart_ + int(word.size());
    box_->setText(completedText_);
    box_->setCursorPosition(completedCursor_);
    return true;
}

bool SendBoxKeys::Recall(int step) {
    if (step < 0) {
        if (recallAt_ == 0) return !sent_.empty();
        if (recallAt_ == sent_.size()) draft_ = box_->text();
        --recallAt_;
        box_->setText(sent_[recallAt_]);
        return true;
    }
    if (recallAt_ >= sent_.size()) return false;
    ++recallAt_;
    box_->setText(recallAt_ == sent_.size() ? draft_ : sent_[recallAt_]);
    return true;
}

void SetLobbyUsers(QObject* owner, std::function<QStringList()> users) {
    Lobby() = {owner, std::move(users)};
}

QStringList LobbyUsers() {
    const LobbySource& lobby = Lobby();
    return lobby.owner && lobby.users ? lobby.users() : QStringList();
}

}  // namespace vantor
