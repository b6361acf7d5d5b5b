// SPDX-License-Identifier: MIT
// The lobby chat window's controls, their looks and their wiring.
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QShortcut>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "chat/chat_ui.h"
#include "chat/member_model.h"
#include "controls/find_bar.h"
#include "controls/focus_frame.h"
#include "controls/history_view.h"
#include "controls/send_box_keys.h"
#include "controls/theme.h"
#include "controls/vantor_btn.h"
#include "resources/art.h"
#include "resources/background.h"

namespace vantor {

using namespace Qt::Literals::StringLiterals;

void ChatUI::BuildControls() {
    setWindowIcon(art::WindowIcon());
    ApplyBackground(this);
    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::WindowText, theme::kWhite);
    setPalette(windowPalette);

    QPalette listPalette = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        listPalette.setColor(group, QPalette::Base, theme::kBlack);
        listPalette.setColor(group, QPalette::Text, theme::kOrange);
        listPalette.setColor(group, QPalette::WindowText, theme::kOrange);
    }

    LobList = new QTreeWidget(this);
    LobList->setObjectName(QStringLiteral("LobList"));
    LobList->setAccessibleName(QStringLiteral("Lobbies"));
    LobList->setColumnCount(2);
    LobList->setHeaderLabels({QStringLiteral("Lobby"), QStringLiteral("Users")});
    LobList->setRootIsDecorated(false);
    LobList->setSelectionMode(QAbstractItemView::NoSelection);
    LobList->header()->setStretchLastSection(false);
    LobList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    LobList->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    LobList->setPalette(listPalette);
    LobList->header()->setStyleSheet(
        u"QHeaderView::section { background: %1; color: %2; border: none;"
        " border-bottom: 1px solid %3; padding: 2px 4px; }"_s.arg(
            theme::kBlack.name(), theme::kOrange.name(), theme::kHeaderRule.name()));
    // Wide enough for the longest lobby name and its count.
    LobList->setMinimumWidth(
        LobList->fontMetrics().horizontalAdvance(u"Crimson Barracks_2 (999)"_s) +
        3 * LobList->fontMetrics().averageCharWidth() + 8);
    LobList->installEventFilter(this);

    NickList = new QListView(this);
    NickList->setObjectName(QStringLiteral("NickList"));
    NickList->setAccessibleName(QStringLiteral("Users"));
    NickList->setSelectionMode(QAbstractItemView::NoSelection);
    NickList->setUniformItemSizes(true);  // a lobby of thousands is laid out without measuring
    members_ = new MemberModel(this);
    NickList->setModel(members_);
    listsDue_ = new QTimer(this);
    listsDue_->setSingleShot(true);
    listsDue_->setInterval(0);
    connect(listsDue_, &QTimer::timeout, this, [this] { DrawLists(); });
    NickList->setPalette(listPalette);
    NickList->installEventFilter(this);

    ChatHistory = new HistoryView(kLobbyHistory, this);
    ChatHistory->setObjectName(QStringLiteral("ChatHistory"));
    ChatHistory->setAccessibleName(QStringLiteral("Conversation"));
    // A scroll bar that comes and goes changes the text width, and every line is laid out anew.
    ChatHistory->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ChatHistory->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ChatHistory->setPalette(listPalette);
    ThemeScrollBars(ChatHistory);
    ThemeScrollBars(LobList);
    ThemeScrollBars(NickList);
    ShowFocusFrame(LobList);
    ShowFocusFrame(NickList);

    SendBox = new QLineEdit(this);
    SendBox->setObjectName(QStringLiteral("SendBox"));
    SendBox->setAccessibleName(QStringLiteral("Message"));
    SendBox->setMaxLength(400);
    keys_ = new SendBoxKeys(SendBox, [this] { return Nicknames(); });
    SetLobbyUsers(this, [this] { return Nicknames(); });

    SendBtn = new VantorBtn(QStringLiteral("SEND"), this);
    SendBtn->setObjectName(QStringLiteral("SendBtn"));
    SendBtn->setAccessibleName(QStringLiteral("SEND"));
    EmoteBtn = new VantorBtn(QStringLiteral("EMOTE"), this);
    EmoteBtn->setObjectName(QStringLiteral("EmoteBtn"));
    EmoteBtn->setAccessibleName(QStringLiteral("EMOTE"));
    CloseBtn = new VantorBtn(QStringLiteral("CLOSE"), this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    CloseBtn->setAccessibleName(QStringLiteral("CLOSE"));

    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));

    auto* lobbyCaption = new QLabel(QStringLiteral("Lobbies"), this);
    lobbyCaption->setBuddy(LobList);
    auto* userCaption = new QLabel(QStringLiteral("Users"), this);
    userCaption->setBuddy(NickList);

    auto* left = new QVBoxLayout;
    left->addWidget(lobbyCaption);
    left->addWidget(LobList);
    auto* right = new QVBoxLayout;
    right->addWidget(userCaption);
    right->addWidget(NickList);
    auto* middle = new QHBoxLayout;
    middle->addLayout(left, 3);
    middle->addWidget(ChatHistory, 8);
    middle->addLayout(right, 3);

    auto* sendRow = new QHBoxLayout;
    sendRow->addWidget(SendBox, 1);
    sendRow->addWidget(SendBtn);
    sendRow->addWidget(EmoteBtn);

    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(StatusLabel, 1);
    statusRow->addWidget(CloseBtn);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(middle, 1);
    outer->addLayout(sendRow);
    outer->addLayout(statusRow);

    setTabOrder(SendBox, SendBtn);
    setTabOrder(SendBtn, EmoteBtn);
    setTabOrder(EmoteBtn, NickList);
    setTabOrder(NickList, LobList);
    setTabOrder(LobList, ChatHistory);
    setTabOrder(ChatHistory, CloseBtn);
    resize(820, 520);
    new FindBar(ChatHistory, this);

    connect(SendBtn, &VantorBtn::Click, this, [this] { SendText(false); });
    connect(EmoteBtn, &VantorBtn::Click, this, [this] { SendText(true); });
    connect(CloseBtn, &VantorBtn::Click, this, [this] { close(); });
    // As the close button does: the lobby is left.
    auto* closeKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), this);
    closeKey->setContext(Qt::WindowShortcut);
    connect(closeKey, &QShortcut::activated, this, [this] { close(); });
    connect(SendBox, &QLineEdit::returnPressed, this, [this] {
        if (SendBtn->Enabled()) SendText(false);
    });
    connect(NickList, &QListView::clicked, this,
            [this](const QModelIndex& index) { ToggleRecipient(index); });
    connect(LobList, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* row, int) { MoveTo(row); });
    connect(ChatHistory, &QTextBrowser::anchorClicked, this, [](const QUrl& url) {
        if (url.scheme() == u"http" || url.scheme() == u"https") QDesktopServices::openUrl(url);
    });

    BuildNickMenu();
    ChatControls(false);
}

}  // namespace vantor
