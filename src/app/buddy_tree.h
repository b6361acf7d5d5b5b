// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QString>

#include "session/buddy_order.h"

class QPoint;
class QTreeWidget;
class QTreeWidgetItem;

namespace vantor {

// Draws the buddy list's rows into the main window's tree as the roster reports its changes:
// each row at the position the view order gives it, hidden or shown, with its status icon and
// the status in words for screen readers ("BuddyIcons"). Rows the roster counts in the service's
// order and drawn positions meet only here, through the table's order. A row that moves keeps
// the selection, and the rows around the pointer stay where they are.
class BuddyTree {
public:
    BuddyTree(QTreeWidget& list, const BuddyTable& table);

    // Every change; the window draws the columns with their headers.
    void Show(const ListChange& change);

    int RowOf(const QTreeWidgetItem* item) const;  // service row, 0 for none
    QTreeWidgetItem* ItemOf(int row) const;        // nullptr for a row not drawn
    int SelectedRow() const;                       // 0 without a selection
    // The tooltip of the cell at a point of the viewport; empty without icons or a row there.
    QString TipAt(const QPoint& at) const;
    // While a list is filled, whether its pending events are to run after this row: after the
    // first row, then at most once a frame. Each run lays the whole list out and paints it, so
    // one per row would make a filling cost the square of its rows.
    bool EventsDue();
    // Letters typed in the list: the first buddy drawn whose nickname starts with them (and
    // with the letters typed just before) becomes the current row. False for keys it leaves.
    bool Typed(const QString& text);

private:
    void Draw(QTreeWidgetItem* item, int row) const;
    void Move(int from, int to);
    void Reorder(const std::vector<int>& was);
    QTreeWidgetItem* Anchor(const QTreeWidgetItem* moving) const;
    void KeepAnchor(QTreeWidgetItem* anchor, int top);

    QTreeWidget& list_;
    const BuddyTable& table_;
    bool icons_ = true;     // "BuddyIcons", read with each new list and each redraw
    QElapsedTimer filled_;  // since the last events of a filling; invalid: none yet
    QString typed_;
    QElapsedTimer lastKey_;
};

}  // namespace vantor
