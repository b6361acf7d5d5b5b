// SPDX-License-Identifier: MIT
// The main window's buddy list: drawing the session's rows, its pop-up menu and commands.
#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTreeWidget>

#include "app/vantor_chat_ui.h"
#include "common/qt_text.h"
#include "controls/attention.h"

namespace vantor {

void VantorChatUI::ShowList(const ListChange& change) {
    const std::vector<BuddyRow>& rows = session_.Buddies().Rows();
    switch (change.kind) {
        case ListChange::Kind::Cleared:
            buddyList_->clear();
            buddyList_->setColumnCount(0);
            return;
        case ListChange::Kind::Columns:
            DrawColumns();
            return;
        case ListChange::Kind::Added: {
            const BuddyRow& buddy = rows[static_cast<std::size_t>(change.row - 1)];
            QStringList cells{FromWire(buddy.nick)};
            for (const std::string& location : buddy.locations) cells << FromWire(location);
            auto* item = new QTreeWidgetItem(buddyList_, cells);
            // The keyboard needs a current row before the arrow keys move anywhere.
            if (!buddyList_->currentItem()) buddyList_->setCurrentItem(item);
            if (change.filling) QCoreApplication::processEvents();
            return;
        }
        case ListChange::Kind::Cell:
            if (QTreeWidgetItem* item = buddyList_->topLevelItem(change.row - 1)) {
                const BuddyRow& buddy = rows[static_cast<std::size_t>(change.row - 1)];
                item->setText(
                    change.column,
                    FromWire(buddy.locations[static_cast<std::size_t>(change.column - 1)]));
            }
            return;
        case ListChange::Kind::Removed:
            delete buddyList_->takeTopLevelItem(change.row - 1);
            return;
    }
}

void VantorChatUI::BuddyMoved(const std::string& nick, const std::string& news) {
    NoteAlert(this, FromWire(nick), FromWire(news));
}

int VantorChatUI::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = buddyList_->selectedItems();
    return selected.isEmpty() ? 0 : buddyList_->indexOfTopLevelItem(selected.front()) + 1;
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
    if (row < 1 || row > static_cast<int>(session_.Buddies().Rows().size())) return;
    buddyList_->setCurrentItem(buddyList_->topLevelItem(row - 1));
    QString nick = FromWire(session_.Buddies().Rows()[static_cast<std::size_t>(row - 1)].nick);
    nick.replace(QLatin1Char('&'), QStringLiteral("&&"));  // a literal ampersand, not a mnemonic
    buddyMnuRefUsr_->setText(QStringLiteral("&Refresh location for \"") + nick + QLatin1Char('"'));
    menuShower_(*buddyMnu_, globalPos);
}

bool VantorChatUI::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddyList_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            if (QTreeWidgetItem* item = buddyList_->itemAt(mouse->position().toPoint())) {
                ShowBuddyMenu(buddyList_->indexOfTopLevelItem(item) + 1,
                              mouse->globalPosition().toPoint());
            }
        }
        return false;
    }
    if (watched != buddyList_) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        if (const int row = SelectedRow()) {
            const QRect place = buddyList_->visualItemRect(buddyList_->topLevelItem(row - 1));
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
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vantor
