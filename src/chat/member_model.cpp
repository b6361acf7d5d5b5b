// SPDX-License-Identifier: MIT
#include "chat/member_model.h"

#include <QFont>
#include <QListView>
#include <QPainter>
#include <QScrollBar>

#include "common/qt_text.h"
#include "common/wire_text.h"
#include "controls/theme.h"

namespace vantor {

namespace {

// A small round mark for operators; drawn here so it needs no artwork.
QIcon OperatorMark() {
    QPixmap pix(12, 12);
    pix.fill(Qt::transparent);
    QPainter painter(&pix);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(theme::kGold);
    painter.drawEllipse(2, 2, 8, 8);
    return QIcon(pix);
}

// "operator", "ignored", both, or nothing.
QVariant Described(const LobbyMember& member, const QString& op, const QString& ignored) {
    if (member.op && member.ignored) return QString(op + QStringLiteral(", ") + ignored);
    if (member.op) return op;
    if (member.ignored) return ignored;
    return {};
}

int RowOf(const std::vector<LobbyMember>& members, const std::string& key) {
    if (key.empty()) return -1;
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (LowerCp1252(members[i].nick) == key) return int(i);
    }
    return -1;
}

}  // namespace

MemberModel::MemberModel(QObject* parent)
    : QAbstractListModel(parent), operatorMark_(OperatorMark()) {}

int MemberModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(members_.size());
}

const LobbyMember* MemberModel::At(int row) const {
    return row >= 0 && row < int(members_.size()) ? &members_[std::size_t(row)] : nullptr;
}

QVariant MemberModel::data(const QModelIndex& index, int role) const {
    const LobbyMember* member = At(index.row());
    if (!member || index.column() != 0) return {};
    switch (role) {
        case Qt::DisplayRole:
            return FromWire(member->nick);
        case Qt::ForegroundRole:
            if (member->ignored) return QBrush(theme::kGrey);
            return QBrush(member->op || member->recipient ? theme::kWhite : theme::kOrange);
        case Qt::FontRole: {
            QFont font;
            font.setBold(member->recipient);
            return font;
        }
        case Qt::DecorationRole:
            return member->op ? QVariant(operatorMark_) : QVariant();
        case Qt::ToolTipRole:
            return Described(*member, QStringLiteral("Operator"), QStringLiteral("Ignored"));
        case Qt::AccessibleDescriptionRole:
            return Described(*member, QStringLiteral("operator"), QStringLiteral("ignored"));
        default:
            return {};
    }
}

// One reset is far cheaper than a change signal per row for a storm, and the view lays out its
// rows once; what a reset would lose (the current row, the scroll position) is put back by key.
void MemberModel::Show(std::vector<LobbyMember> members, QListView* view) {
    const auto keyAt = [this](const QModelIndex& index) {
        const LobbyMember* member = index.isValid() ? At(index.row()) : nullptr;
        return member ? LowerCp1252(member->nick) : std::string();
    };
    const std::string current = view ? keyAt(view->currentIndex()) : std::string();
    const std::string top = view ? keyAt(view->indexAt(QPoint(1, 1))) : std::string();
    const int scroll = view ? view->verticalScrollBar()->value() : 0;

    beginResetModel();
    members_ = std::move(members);
    endResetModel();
    if (!view) return;

    if (const int row = RowOf(members_, current); row >= 0) {
        view->selectionModel()->setCurrentIndex(index(row), QItemSelectionModel::NoUpdate);
    }
    if (const int row = RowOf(members_, top); row >= 0) {
        view->scrollTo(index(row), QAbstractItemView::PositionAtTop);
    } else {
        view->verticalScrollBar()->setValue(scroll);
    }
}

}  // namespace vantor
