// SPDX-License-Identifier: MIT
#include "app/buddy_tree.h"

#include <QApplication>
#include <QCursor>
#include <QDateTime>
#include <QScrollBar>
#include <QTreeWidget>

#include "common/qt_text.h"
#include "resources/art.h"
#include "session/buddy_tip.h"
#include "settings/settings_source.h"

namespace vantor {

namespace {

QString IconName(BuddyStatus status) {
    switch (status) {
        case BuddyStatus::NotLoggedIn:
            return QStringLiteral("offline");
        case BuddyStatus::Hiding:
            return QStringLiteral("hiding");
        case BuddyStatus::LoggedIn:
            return QStringLiteral("online");
        case BuddyStatus::ChatRoom:
            return QStringLiteral("chat");
        case BuddyStatus::Game:
            return QStringLiteral("game");
        case BuddyStatus::Unknown:
            break;
    }
    return QStringLiteral("unknown");
}

int OffsetFromUtc(std::int64_t at) {
    return QDateTime::fromSecsSinceEpoch(at).offsetFromUtc();
}

}  // namespace

BuddyTree::BuddyTree(QTreeWidget& list, const BuddyTable& table)
    : list_(list), table_(table), icons_(Settings().Get(setting::kBuddyIcons) != 0) {}

int BuddyTree::RowOf(const QTreeWidgetItem* item) const {
    if (!item) return 0;
    return table_.Order().RowAt(list_.indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item)) + 1);
}

QTreeWidgetItem* BuddyTree::ItemOf(int row) const {
    const int position = table_.Order().Position(row);
    return position > 0 ? list_.topLevelItem(position - 1) : nullptr;
}

int BuddyTree::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = list_.selectedItems();
    return selected.isEmpty() ? 0 : RowOf(selected.front());
}

void BuddyTree::Draw(QTreeWidgetItem* item, int row) const {
    const BuddyRow& buddy = table_.Rows()[static_cast<std::size_t>(row - 1)];
    item->setText(0, FromWire(buddy.nick));
    for (std::size_t c = 0; c < buddy.locations.size(); ++c)
        item->setText(static_cast<int>(c) + 1, FromWire(buddy.locations[c]));
    if (icons_) {
        const std::size_t decides = static_cast<std::size_t>(table_.DecidingColumn() - 1);
        const std::string& location =
            decides < buddy.locations.size() ? buddy.locations[decides] : std::string();
        const BuddyStatus status = StatusOf(location);
        item->setIcon(0, art::StatusIcon(IconName(status)));
        const QString words =
            FromWire(buddy.nick) + QStringLiteral(", ") + QString::fromLatin1(StatusWords(status));
        item->setData(0, Qt::AccessibleTextRole, words);
    }
    const bool hidden = table_.Order().Hidden(table_.Rows(), row);
    if (hidden && item->isSelected()) item->setSelected(false);  // nothing acts on a hidden row
    if (item->isHidden() != hidden) item->setHidden(hidden);
}

void BuddyTree::Show(const ListChange& change) {
    switch (change.kind) {
        case ListChange::Kind::Cleared:
            list_.clear();
            icons_ = Settings().Get(setting::kBuddyIcons) != 0;
            return;
        case ListChange::Kind::Columns:
            icons_ = Settings().Get(setting::kBuddyIcons) != 0;  // a list comes
            filled_.invalidate();
            return;
        case ListChange::Kind::Added: {
            auto* item = new QTreeWidgetItem();
            list_.insertTopLevelItem(change.position - 1, item);
            Draw(item, change.row);
            // The keyboard needs a current row before the arrow keys move anywhere.
            if (!list_.currentItem() && !item->isHidden()) list_.setCurrentItem(item);
            return;
        }
        case ListChange::Kind::Cell:
            if (QTreeWidgetItem* item = list_.topLevelItem(change.position - 1))
                Draw(item, change.row);
            return;
        case ListChange::Kind::Removed:
            delete list_.takeTopLevelItem(change.position - 1);
            return;
        case ListChange::Kind::Moved:
            Move(change.from, change.position);
            return;
        case ListChange::Kind::Order:
            icons_ = Settings().Get(setting::kBuddyIcons) != 0;
            Reorder(change.was);
            return;
    }
}

// The row under the pointer, or the first one in sight: the one that stays in its place.
QTreeWidgetItem* BuddyTree::Anchor(const QTreeWidgetItem* moving) const {
    QWidget* viewport = list_.viewport();
    const QPoint pointer = viewport->mapFromGlobal(QCursor::pos());
    QTreeWidgetItem* anchor =
        viewport->rect().contains(pointer) ? list_.itemAt(pointer) : list_.itemAt(0, 0);
    if (!anchor) anchor = list_.itemAt(0, 0);
    if (anchor && anchor == moving) {
        anchor = list_.itemBelow(anchor) ? list_.itemBelow(anchor) : list_.itemAbove(anchor);
    }
    return anchor;
}

void BuddyTree::KeepAnchor(QTreeWidgetItem* anchor, int top) {
    if (!anchor || anchor->isHidden()) return;
    const QRect now = list_.visualItemRect(anchor);
    const int shift = now.top() - top;
    if (shift == 0 || now.height() <= 0) return;
    QScrollBar* bar = list_.verticalScrollBar();
    const int steps = list_.verticalScrollMode() == QAbstractItemView::ScrollPerPixel
                          ? shift
                          : shift / now.height();
    bar->setValue(bar->value() + steps);
}

void BuddyTree::Move(int from, int to) {
    QTreeWidgetItem* item = list_.topLevelItem(from - 1);
    if (!item || to < 1 || to > list_.topLevelItemCount()) return;
    const int row = table_.Order().RowAt(to);
    QTreeWidgetItem* anchor = Anchor(item);
    const int top = anchor ? list_.visualItemRect(anchor).top() : 0;
    const bool current = list_.currentItem() == item;
    const bool selected = item->isSelected();
    // Put back as the current row without scrolling to it: the list stays where the user has it.
    const bool autoScroll = list_.hasAutoScroll();
    list_.setAutoScroll(false);
    list_.takeTopLevelItem(from - 1);
    list_.insertTopLevelItem(to - 1, item);
    if (current) list_.setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
    item->setSelected(selected);
    Draw(item, row);
    list_.setAutoScroll(autoScroll);
    KeepAnchor(anchor, top);
}

void BuddyTree::Reorder(const std::vector<int>& was) {
    QTreeWidgetItem* current = list_.currentItem();
    QTreeWidgetItem* selected = list_.selectedItems().value(0);
    QTreeWidgetItem* anchor = Anchor(nullptr);
    const int top = anchor ? list_.visualItemRect(anchor).top() : 0;
    const bool autoScroll = list_.hasAutoScroll();
    list_.setAutoScroll(false);
    const QList<QTreeWidgetItem*> before = list_.invisibleRootItem()->takeChildren();
    QList<QTreeWidgetItem*> after;
    after.reserve(static_cast<qsizetype>(was.size()));
    for (int position : was) {
        const bool known = position >= 1 && position <= before.size();
        after << (known ? before[position - 1] : new QTreeWidgetItem());
    }
    // Rows the order does not draw (none while the list and the order agree) go.
    for (QTreeWidgetItem* item : before)
        if (!after.contains(item)) delete item;
    list_.addTopLevelItems(after);
    for (int i = 0; i < after.size(); ++i) Draw(after[i], table_.Order().RowAt(i + 1));
    if (current && !current->isHidden())
        list_.setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    if (selected && !selected->isHidden()) selected->setSelected(true);
    list_.setAutoScroll(autoScroll);
    KeepAnchor(anchor, top);
}

QString BuddyTree::TipAt(const QPoint& at) const {
    if (!icons_) return {};
    const int row = RowOf(list_.itemAt(at));
    const int column = list_.columnAt(at.x());
    if (row == 0 || column < 0) return {};
    const TipClock clock{.now = table_.WallNow(), .utcOffset = &OffsetFromUtc};
    return FromWire(BuddyTip(table_.Rows()[static_cast<std::size_t>(row - 1)], table_.LookedUp(row),
                             table_.Mode(), column, clock));
}

bool BuddyTree::EventsDue() {
    constexpr qint64 kFrameMs = 16;
    if (filled_.isValid() && filled_.elapsed() < kFrameMs) return false;
    filled_.start();
    return true;
}

bool BuddyTree::Typed(const QString& text) {
    if (text.isEmpty() || !text.front().isPrint() || text.front().isSpace()) return false;
    // A pause longer than the system's typing interval starts a new search.
    if (!lastKey_.isValid() || lastKey_.elapsed() >= QApplication::keyboardInputInterval())
        typed_.clear();
    lastKey_.start();
    typed_ += text;
    if (!FitsWire(typed_)) {
        typed_.clear();
        return true;
    }
    int row = table_.Order().FirstStartingWith(table_.Rows(), ToWire(typed_));
    if (row == 0 && typed_ != text) {
        typed_ = text;  // no buddy goes on so: the key starts a new search
        row = table_.Order().FirstStartingWith(table_.Rows(), ToWire(typed_));
    }
    if (QTreeWidgetItem* item = ItemOf(row)) {
        list_.setCurrentItem(item);
        list_.scrollToItem(item);
    }
    return true;
}

}  // namespace vantor
