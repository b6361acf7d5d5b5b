// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractListModel>
#include <QIcon>
#include <vector>

#include "chat/lobby_view.h"

class QListView;

namespace vantor {

// The users list of the lobby window: the members as the lobby last reported them, operators
// white with their mark, recipients bold and white, ignored users grey, everyone else orange.
class MemberModel : public QAbstractListModel {
    Q_OBJECT

public:
    explicit MemberModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The members anew, in one change however many there are. The view's current member and
    // the member at the top of its viewport stay where they are when they are still listed.
    void Show(std::vector<LobbyMember> members, QListView* view);
    const LobbyMember* At(int row) const;

private:
    std::vector<LobbyMember> members_;
    QIcon operatorMark_;
};

}  // namespace vantor
