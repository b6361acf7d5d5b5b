// SPDX-License-Identifier: MIT
// The main window's buddy list: drawing the session's rows, its pop-up menu and commands.
#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QToolTip>
#include <QTreeWidget>

#include "app/buddy_tree.h"
#include "app/vantor_chat_ui.h"
#include "chat/chat_ui.h"
#include "common/lobby_names.h"
#include "common/qt_text.h"
#include "controls/attention.h"
#include "settings/settings_source.h"

namespace vantor {

void VantorChatUI::ShowList(const ListChange& change) {
    if (change.kind == ListChange::Kind::Columns) DrawColumns();
    tree_->Show(change);
    if (change.kind == ListChange::Kind::Cleared) buddyList_->setColumnCount(0);
    if (change.kind == ListChange::Kind::Added && change.filling && tree_->EventsDue())
        QCoreApplication::processEvents();
}

void VantorChatUI::BuddyMoved(const std::string& nick, const std::string& news) {
    NoteAlert(this, FromWire(nick), FromWire(news));
}

int VantorChatUI::SelectedRow() const {
    return tree_->SelectedRow();
}

void VantorChatUI::PageBudClick() {
    const int row = SelectedRow();
    if (row == 0) return;
    WOL().NewPageWin(session_.Buddies().Rows()[static_cast<std::size_t>(row - 1)].nick);
}

void VantorChatUI::RefreshSelectedClick() {
    if (const int row = SelectedRow()) session_.Buddies().RefreshRow(row);
}

void VantorChatUI::ShowBuddyMenu(int row, const QPoint& globalPos) {
    const BuddyRoster& roster = session_.Buddies();
    if (row < 1 || row > static_cast<int>(roster.Rows().size())) return;
    buddyList_->setCurrentItem(tree_->ItemOf(row));
    const BuddyRow& buddy = roster.Rows()[static_cast<std::size_t>(row - 1)];
    QString nick = FromWire(buddy.nick);
    nick.replace(QLatin1Char('&'), QStringLiteral("&&"));  // a literal ampersand, not a mnemonic
    buddyMnuRefUsr_->setText(QStringLiteral("&Refresh location for \"") + nick + QLatin1Char('"'));
    DrawJoinItem(buddy);
    const ViewRule& rule = roster.Order().Rule();
    buddyMnuSortService_->setChecked(rule.sort == BuddySort::Service);
    buddyMnuSortOnline_->setChecked(rule.sort == BuddySort::OnlineFirst);
    buddyMnuSortName_->setChecked(rule.sort == BuddySort::ByName);
    buddyMnuHideOffline_->setChecked(rule.hideOffline);
    menuShower_(*buddyMnu_, globalPos);
}

// "Join Iron Hand" for a buddy in a lobby the client knows, as the server logged on to sees it.
void VantorChatUI::DrawJoinItem(const BuddyRow& buddy) {
    const auto column = static_cast<std::size_t>(session_.Buddies().DecidingColumn() - 1);
    joinLobby_ = Settings().Get(setting::kBuddyJoin) != 0 && column < buddy.locations.size()
                     ? LobbyOf(buddy.locations[column])
                     : -1;
    buddyMnuJoin_->setVisible(joinLobby_ >= 0);
    if (joinLobby_ < 0) return;
    QString name = FromWire(LobbyNames[static_cast<std::size_t>(joinLobby_)]);
    name.replace(QLatin1Char('&'), QStringLiteral("&&"));
    buddyMnuJoin_->setText(QStringLiteral("&Join ") + name);
    auto* chat = qobject_cast<ChatUI*>(cht_.data());
    buddyMnuJoin_->setEnabled(chat ? !chat->Core().MoveUnderWay() : session_.Controls().chat);
}

void VantorChatUI::JoinBuddyLobby() {
    const int lobby = joinLobby_;
    if (lobby < 0) return;
    if (!cht_ && session_.Controls().chat) ChatClick();
    auto* chat = qobject_cast<ChatUI*>(cht_.data());
    if (!chat) return;
    chat->Core().JoinLobby(lobby);
    chat->raise();
    chat->activateWindow();
}

void VantorChatUI::ChooseViewOrder(BuddySort sort, bool hideOffline) {
    session_.Buddies().SetViewOrder(sort, hideOffline);
}

bool VantorChatUI::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddyList_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            if (const int row = tree_->RowOf(buddyList_->itemAt(mouse->position().toPoint())))
                ShowBuddyMenu(row, mouse->globalPosition().toPoint());
        }
        return false;
    }
    if (watched == buddyList_->viewport() && event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = tree_->TipAt(help->pos());
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tip, buddyList_->viewport());
        }
        return true;
    }
    if (watched != buddyList_) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        if (const int row = SelectedRow()) {
            const QRect place = buddyList_->visualItemRect(tree_->ItemOf(row));
            ShowBuddyMenu(row, buddyList_->viewport()->mapToGlobal(place.bottomLeft()));
        }
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && SelectedRow()) {
            PageBudClick();
            return true;
        }
        const Qt::KeyboardModifiers chord =
            key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (chord == Qt::NoModifier && tree_->Typed(key->text())) return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vantor
