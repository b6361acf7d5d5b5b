// SPDX-License-Identifier: MIT
// The lobby chat window's users list beyond the recipient clicks: its pop-up menu, which ignores
// a user or stops ignoring them, and the note of the lines the lobby hid.
#include <QContextMenuEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QTimer>

#include "chat/chat_ui.h"
#include "chat/member_model.h"
#include "common/qt_text.h"
#include "common/wire_text.h"

namespace vantor {

void ChatUI::BuildNickMenu() {
    NickMnu = new QMenu(this);
    NickMnu->setObjectName(QStringLiteral("NickMnu"));
    nickMnuIgnore_ = NickMnu->addAction(QString());
    nickMnuIgnore_->setObjectName(QStringLiteral("NickMnu_Ignore"));
    connect(nickMnuIgnore_, &QAction::triggered, this, [this] {
        lobby_->SetIgnored(menuNick_, !lobby_->Ignored(menuNick_));
        CatchUpLists();  // the mark shows at once, as a click's bold does
    });

    // The right button opens the menu and leaves the recipients alone; the left one chooses them.
    // The menu key comes through the event filter, for the current row.
    NickList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(NickList, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        ShowNickMenu(NickList->indexAt(pos), NickList->viewport()->mapToGlobal(pos));
    });

    noteDue_ = new QTimer(this);
    noteDue_->setSingleShot(true);
    noteDue_->setInterval(0);
    connect(noteDue_, &QTimer::timeout, this, [this] {
        const std::string note = lobby_->TakeHiddenNote();
        if (!note.empty()) StatusLabel->setText(FromWire(note));
    });
}

void ChatUI::ShowNickMenu(const QModelIndex& index, const QPoint& globalPos) {
    const LobbyMember* member = members_->At(index.row());
    // Nothing to offer about oneself: the user's own lines always show.
    if (!member || LowerCp1252(member->nick) == LowerCp1252(User())) return;
    menuNick_ = member->nick;
    QString nick = FromWire(member->nick);
    nick.replace(QLatin1Char('&'), QStringLiteral("&&"));  // a literal ampersand, not a mnemonic
    nickMnuIgnore_->setText((lobby_->Ignored(member->nick) ? QStringLiteral("Stop ignoring ")
                                                           : QStringLiteral("Ignore ")) +
                            nick);
    NickMnu->popup(globalPos);
}

bool ChatUI::NickListMenuKey(QEvent* event) {
    if (event->type() != QEvent::ContextMenu ||
        static_cast<QContextMenuEvent*>(event)->reason() != QContextMenuEvent::Keyboard) {
        return false;
    }
    const QModelIndex current = NickList->currentIndex();
    if (current.isValid()) {
        ShowNickMenu(current,
                     NickList->viewport()->mapToGlobal(NickList->visualRect(current).bottomLeft()));
    }
    return true;
}

void ChatUI::LinesHidden() {
    if (!noteDue_->isActive()) noteDue_->start();
}

}  // namespace vantor
