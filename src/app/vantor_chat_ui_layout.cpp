// SPDX-License-Identifier: MIT
// The main window's controls, their looks and wiring, and the twip rules that place them.
#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>

#include "app/buddy_tree.h"
#include "app/vantor_chat_ui.h"
#include "common/qt_text.h"
#include "common/wire_text.h"
#include "controls/focus_frame.h"
#include "controls/prog_bar.h"
#include "controls/theme.h"
#include "controls/vantor_btn.h"
#include "resources/art.h"
#include "resources/background.h"
#include "settings/setting_names.h"

namespace vantor {

namespace {

constexpr int kBuffInterval = 200;
constexpr int kRefBuddyInterval = 60000;

// Fixed places of the controls the resize rules leave alone, in pixels.
constexpr int kMargin = 8;
constexpr int kTitleHeight = 64;
constexpr int kLabelTop = 70;
constexpr int kStatusTop = 94;
constexpr int kListTop = 124;
constexpr int kProgHeight = 16;
constexpr int kBtnWidth = 100;
constexpr int kBtnGap = 4;

QString ListStyle() {
    return QStringLiteral(
               "QTreeWidget { background-color: %1; color: %2; border: 1px solid %3; } "
               "QTreeWidget::item:selected { background-color: %3; color: %4; } "
               "QHeaderView::section { background-color: %5; color: %2; "
               "border: 1px solid %3; padding: 1px 4px; }")
        .arg(theme::kBlackRed.name(), theme::kOrange.name(), theme::kEmber.name(),
             theme::kBlack.name(), theme::kDarkRed.name());
}

// Column widths in twips.
constexpr int kNickColumnTwips = 2000;
constexpr int kLocationColumnTwips = 2200;

int Px(int twips) {
    return twips / VantorChatUI::kTwipsPerPixel;
}

}  // namespace

VantorBtn* VantorChatUI::Button(const QString& name, const QString& word, bool enabled) {
    auto* button = new VantorBtn(word, this);
    button->setObjectName(name);
    button->SetEnabled(enabled);
    return button;
}

void VantorChatUI::BuildControls() {
    bgImage_ = MakeBackground(this, art::SharedBackground());

    titlePic_ = new PictureBox(QStringLiteral("TitlePic"), art::SharedTitle(),
                               PictureBox::Fit::Banner, this);
    titlePic_->setAccessibleName(QStringLiteral("Vantor Desktop"));

    label_ = new QLabel(QStringLiteral("Logged in as:"), this);
    label_->setObjectName(QStringLiteral("Label"));
    logAs_ = new QLabel(QStringLiteral("Not Connected"), this);
    logAs_->setObjectName(QStringLiteral("LogAs"));
    statusLabel_ = new QLabel(QStringLiteral("Not connected to Westwood Online"), this);
    statusLabel_->setObjectName(QStringLiteral("Status"));
    for (QLabel* l : {label_, logAs_, statusLabel_}) l->setStyleSheet(TextStyle());
    QFont bold = logAs_->font();
    bold.setBold(true);
    label_->setFont(bold);
    logAs_->setFont(bold);

    buddyList_ = new QTreeWidget(this);
    buddyList_->setObjectName(QStringLiteral("BuddyList"));
    buddyList_->setAccessibleName(QStringLiteral("Buddy list"));
    buddyList_->setRootIsDecorated(false);
    buddyList_->setUniformRowHeights(true);
    buddyList_->setColumnCount(0);
    buddyList_->setStyleSheet(ListStyle());
    buddyList_->setSelectionMode(QAbstractItemView::SingleSelection);
    buddyList_->setAllColumnsShowFocus(true);
    buddyList_->setIconSize(QSize(art::kStatusIconSide, art::kStatusIconSide));
    ThemeScrollBars(buddyList_);
    ShowFocusFrame(buddyList_);
    tree_ = std::make_unique<BuddyTree>(*buddyList_, session_.Buddies());
    // Right-button release, the context-menu key and Enter are caught on their way in.
    buddyList_->installEventFilter(this);
    buddyList_->viewport()->installEventFilter(this);
    connect(buddyList_, &QTreeWidget::itemDoubleClicked, this, [this] { PageBudClick(); });

    progBar_ = new ProgBar(this);
    progBar_->setObjectName(QStringLiteral("ProgBar"));
    progBar_->setAccessibleName(QStringLiteral("Search progress"));

    logInBtn_ = Button(QStringLiteral("LogInBtn"), QStringLiteral("LOG"), true);
    chatBtn_ = Button(QStringLiteral("ChatBtn"), QStringLiteral("CHAT"), false);
    aboutBtn_ = Button(QStringLiteral("AboutBtn"), QStringLiteral("ABOUT"), true);
    quit_ = Button(QStringLiteral("Quit"), QStringLiteral("QUIT"), true);
    options_ = Button(QStringLiteral("Options"), QStringLiteral("OPTIONS"), true);
    pageBud_ = Button(QStringLiteral("PageBud"), QStringLiteral("PAGE"), false);
    addBud_ = Button(QStringLiteral("AddBud"), QStringLiteral("ADD"), false);
    delBud_ = Button(QStringLiteral("DelBud"), QStringLiteral("DEL"), false);
    refreshBud_ = Button(QStringLiteral("RefreshBud"), QStringLiteral("REFRESH"), false);
    reOrdBud_ = Button(QStringLiteral("ReOrdBud"), QStringLiteral("ORDER"), false);

    connect(logInBtn_, &VantorBtn::Click, this, &VantorChatUI::LogInBtnClick);
    connect(chatBtn_, &VantorBtn::Click, this, &VantorChatUI::ChatClick);
    connect(aboutBtn_, &VantorBtn::Click, this, &VantorChatUI::AboutClick);
    connect(options_, &VantorBtn::Click, this, &VantorChatUI::OptionsClick);
    connect(quit_, &VantorBtn::Click, this, [this] { close(); });
    connect(pageBud_, &VantorBtn::Click, this, &VantorChatUI::PageBudClick);
    connect(refreshBud_, &VantorBtn::Click, this,
            [this] { session_.Buddies().RefreshLocations(); });
    connect(addBud_, &VantorBtn::Click, this, &VantorChatUI::AddBudClick);
    connect(delBud_, &VantorBtn::Click, this, &VantorChatUI::DelBudClick);
    connect(reOrdBud_, &VantorBtn::Click, this, &VantorChatUI::ReOrdBudClick);
    BuildBuddyMenu();

    buffTimer_ = new QTimer(this);
    buffTimer_->setObjectName(QStringLiteral("BuffTimer"));
    buffTimer_->setInterval(kBuffInterval);
    connect(buffTimer_, &QTimer::timeout, this, &VantorChatUI::PumpSessions);
    // Its ticks drive the automatic location search.
    refBuddy_ = new QTimer(this);
    refBuddy_->setObjectName(QStringLiteral("RefBuddy"));
    refBuddy_->setInterval(kRefBuddyInterval);
    connect(refBuddy_, &QTimer::timeout, this, [this] { session_.Buddies().RefBuddy_Timer(); });
    // Gives up on a search whose missing answers have stopped coming.
    searchTimer_ = new QTimer(this);
    searchTimer_->setObjectName(QStringLiteral("SearchTimer"));
    searchTimer_->setSingleShot(true);
    searchTimer_->setInterval(LocationSearch::kIdleMs);
    connect(searchTimer_, &QTimer::timeout, this, [this] { session_.Buddies().SearchIdle(); });

    // Runs whenever a search has sessions: their connects finish and their answers come in here,
    // not on the main session's slower receive tick.
    searchPoll_ = new QTimer(this);
    searchPoll_->setObjectName(QStringLiteral("SearchPoll"));
    searchPoll_->setInterval(5);
    connect(searchPoll_, &QTimer::timeout, this, [this] {
        const StallMeter::Scope scope("the location search");
        session_.Buddies().PumpSearch();
    });

    // Reading order for the keyboard: session first, then the list and its buttons.
    QWidget::setTabOrder(logInBtn_, buddyList_);
    QWidget* previous = buddyList_;
    for (QWidget* w :
         std::initializer_list<QWidget*>{pageBud_, addBud_, delBud_, refreshBud_, reOrdBud_,
                                         chatBtn_, options_, aboutBtn_, quit_}) {
        QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

void VantorChatUI::BuildBuddyMenu() {
    buddyMnu_ = new QMenu(this);
    buddyMnu_->setObjectName(QStringLiteral("BuddyMnu"));
    auto item = [this](const char* name, const QString& caption, bool enabled) {
        QAction* action = buddyMnu_->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setEnabled(enabled);
        return action;
    };
    buddyMnuPage_ = item("BuddyMnu_Page", QStringLiteral("&Page"), true);
    // Shown only for a buddy in a lobby the client knows.
    buddyMnuJoin_ = item("BuddyMnu_Join", QStringLiteral("&Join"), true);
    buddyMnuJoin_->setVisible(false);
    buddyMnuDel_ = item("BuddyMnu_Del", QStringLiteral("&Delete"), true);
    buddyMnu_->addSeparator();
    buddyMnuRefUsr_ = item("BuddyMnu_RefUsr", QStringLiteral("&Refresh location"), false);
    buddyMnu_->addSeparator();
    buddyMnuReOrd_ = item("BuddyMnu_ReOrd", QStringLiteral("Re&order buddy list"), true);
    buddyMnu_->addSeparator();
    buddyMnuRef_ = item("BuddyMnu_Ref", QStringLiteral("Refresh all user locations"), false);
    buddyMnuReDL_ = item("BuddyMnu_ReDL", QStringLiteral("Re-download buddy list"), false);
    // How the list is drawn; the service's order stays as it is.
    buddyMnu_->addSeparator();
    QMenu* sort = buddyMnu_->addMenu(QStringLiteral("&Sort buddies"));
    sort->setObjectName(QStringLiteral("BuddyMnu_Sort"));
    auto* sorts = new QActionGroup(sort);
    auto sortItem = [&](const char* name, const QString& caption, BuddySort order) {
        QAction* action = sort->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(true);
        sorts->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, order] { ChooseViewOrder(order, buddyMnuHideOffline_->isChecked()); });
        return action;
    };
    buddyMnuSortService_ = sortItem("BuddyMnu_SortService", QStringLiteral("In the &list's order"),
                                    BuddySort::Service);
    buddyMnuSortOnline_ =
        sortItem("BuddyMnu_SortOnline", QStringLiteral("&Online first"), BuddySort::OnlineFirst);
    buddyMnuSortName_ =
        sortItem("BuddyMnu_SortName", QStringLiteral("By &name"), BuddySort::ByName);
    buddyMnuHideOffline_ =
        item("BuddyMnu_HideOffline", QStringLiteral("&Hide buddies not logged in"), true);
    buddyMnuHideOffline_->setCheckable(true);
    connect(buddyMnuHideOffline_, &QAction::triggered, this,
            [this](bool hide) { ChooseViewOrder(session_.Buddies().Order().Rule().sort, hide); });
    connect(buddyMnuPage_, &QAction::triggered, this, &VantorChatUI::PageBudClick);
    connect(buddyMnuJoin_, &QAction::triggered, this, &VantorChatUI::JoinBuddyLobby);
    connect(buddyMnuDel_, &QAction::triggered, this, &VantorChatUI::DelBudClick);
    connect(buddyMnuReOrd_, &QAction::triggered, this, &VantorChatUI::ReOrdBudClick);
    connect(buddyMnuReDL_, &QAction::triggered, this, [this] { session_.Buddies().ReDownload(); });
    connect(buddyMnuRefUsr_, &QAction::triggered, this, &VantorChatUI::RefreshSelectedClick);
    connect(buddyMnuRef_, &QAction::triggered, this,
            [this] { session_.Buddies().RefreshLocations(); });
}

void VantorChatUI::LayOut() {
    if (isMinimized()) return;
    // Below the minimum (only a window manager that ignores it gets there) the controls are
    // clipped at the edges rather than piled on top of each other.
    const int w = std::max(width(), minimumWidth()) * kTwipsPerPixel;
    const int h = std::max(height(), minimumHeight()) * kTwipsPerPixel;

    bgImage_->setGeometry(0, 0, Px(w), Px(h));
    titlePic_->setGeometry(0, 0, Px(w), kTitleHeight);
    label_->setGeometry(kMargin, kLabelTop, 96, 20);
    logAs_->setGeometry(kMargin + 100, kLabelTop, Px(w) - 2 * kMargin - 100, 20);
    statusLabel_->setGeometry(kMargin, kStatusTop, StatusWidth(), 20);

    const int right = Px(w - 1575);
    logInBtn_->move(right, kListTop);
    chatBtn_->move(right, Px(h - 2055));
    aboutBtn_->move(right, Px(h - 1335));
    const int bottomRow = Px(h - 615);
    quit_->move(right, bottomRow);
    options_->move(Px(w - 3135), bottomRow);
    int left = kMargin;
    for (VantorBtn* b : {pageBud_, addBud_, delBud_, refreshBud_, reOrdBud_}) {
        b->move(left, bottomRow);
        left += kBtnWidth + kBtnGap;
    }

    const int listWidth = Px(w - 3420);
    buddyList_->setGeometry(kMargin, kListTop, listWidth, Px(h - 3120));
    progBar_->setGeometry(kMargin, Px(h - 975), listWidth, kProgHeight);
    DrawStatus();  // shortened anew for the new width
}

// The status line's width, as the layout gives it; known before the window is first shown.
int VantorChatUI::StatusWidth() const {
    return std::max(width(), minimumWidth()) - 2 * kMargin;
}

void VantorChatUI::DrawColumns() {
    QStringList headers{QStringLiteral("Buddy NickName")};
    if (session_.Buddies().Mode() == ServerMode::AllServers) {
        for (std::string_view server : SplitOn(kServerNames, '|')) headers << FromWire(server);
    } else {
        headers << QStringLiteral("Location");
    }
    buddyList_->setColumnCount(static_cast<int>(headers.size()));
    buddyList_->setHeaderLabels(headers);
    buddyList_->setColumnWidth(0, Px(kNickColumnTwips));
    for (int c = 1; c < headers.size(); ++c)
        buddyList_->setColumnWidth(c, Px(kLocationColumnTwips));
}

}  // namespace vantor
