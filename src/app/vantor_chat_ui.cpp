// SPDX-License-Identifier: MIT
#include "app/vantor_chat_ui.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QTime>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>

#include "app/about_ui.h"
#include "app/background.h"
#include "app/log_on_ui.h"
#include "app/message_box.h"
#include "app/motd_ui.h"
#include "common/qt_text.h"
#include "controls/prog_bar.h"
#include "controls/theme.h"
#include "controls/vantor_btn.h"
#include "diagnostics/debug_log.h"
#include "session/location.h"
#include "settings/setting_ui.h"
#include "settings/settings_source.h"
#include "settings/settings_store.h"
#include "transport/callback.h"
#include "transport/wolcon2.h"
#if VANTOR_HAVE_CHAT_UI
#include "chat/chat_ui.h"
#endif

namespace vantor {

namespace {

constexpr int kBuffInterval = 200;
constexpr int kRefBuddyInterval = 60000;
constexpr int kServers = 3;
constexpr double kSecondsPerDay = 86400.0;

// Fixed places of the controls the resize rules leave alone, in pixels.
constexpr int kMargin = 8;
constexpr int kTitleHeight = 64;
constexpr int kLabelTop = 70;
constexpr int kStatusTop = 94;
constexpr int kListTop = 124;
constexpr int kProgHeight = 16;
constexpr int kBtnWidth = 100;
constexpr int kBtnGap = 4;

constexpr auto kLabelStyle = "color: rgb(255,128,0); background: transparent;";
constexpr auto kListStyle =
    "QTreeWidget { background-color: rgb(32,0,0); color: rgb(255,128,0); "
    "border: 1px solid rgb(160,80,0); } "
    "QTreeWidget::item:selected { background-color: rgb(160,80,0); color: black; } "
    "QHeaderView::section { background-color: rgb(64,0,0); color: rgb(255,128,0); "
    "border: 1px solid rgb(160,80,0); padding: 1px 4px; }";

// Column widths in twips.
constexpr int kNickColumnTwips = 2000;
constexpr int kLocationColumnTwips = 2200;

int Px(int twips) {
    return twips / VantorChatUI::kTwipsPerPixel;
}

void PopUp(QMenu& menu, const QPoint& globalPos) {
    menu.popup(globalPos);
}

double SecondsSinceMidnight() {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

// A whole number written in plain decimal digits, or -1.
int PlainNumber(std::string_view text) {
    if (text.empty() || text.size() > 9) return -1;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// The nicknames of a buddy list answer. An empty answer (no buddies) and empty pieces name
// nobody, so they give no rows.
std::vector<std::string> SplitBuddies(const std::string& list) {
    std::vector<std::string> nicks;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find('`', start);
        if (end == std::string::npos) end = list.size();
        if (end > start) nicks.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return nicks;
}

LogOnAnswer AskWithDialog(QWidget* parent, const QString& lastNick) {
    LogOnUI dialog(parent);
    dialog.SetNick(lastNick);
    dialog.exec();
    return LogOnAnswer{dialog.Canceled(), dialog.Nick(), dialog.Pass()};
}

QWidget* OpenLobbyChat(VantorChatUI& main) {
#if VANTOR_HAVE_CHAT_UI
    auto* chat = new ChatUI(nullptr);
    QObject::connect(chat, &ChatUI::Closed, &main, [&main] { main.ChatClosed(); });
    chat->SetWOL(&main.WOL());
    chat->show();
    chat->SetUser(main.Credentials().NickName);
    chat->ConnectChat();
    return chat;
#else
    (void)main;
    return nullptr;
#endif
}

}  // namespace

QString SearchCompletedText(double start, double end) {
    double elapsed = end - start;
    if (elapsed < 0) elapsed += kSecondsPerDay;
    // Hundredths, with an exact half going to the even neighbour (the default rounding mode),
    // written without trailing zeros.
    const auto hundredths = static_cast<long long>(std::nearbyint(elapsed * 100.0));
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = locale.toString(hundredths / 100);
    if (const long long fraction = hundredths % 100; fraction != 0) {
        QString digits = QString::number(fraction).rightJustified(2, QLatin1Char('0'));
        if (digits.endsWith(QLatin1Char('0'))) digits.chop(1);
        text += locale.decimalPoint() + digits;
    }
    return QStringLiteral("Search completed in ") + text + QStringLiteral(" seconds");
}

QString MainCaption(const QString& status) {
    QString caption =
        QLatin1String(kProductName) + QLatin1Char(' ') + QLatin1String(kProductVersion);
    if (!status.isEmpty()) caption += QStringLiteral(" - ") + status;
    return caption;
}

VantorChatUI::VantorChatUI(QWidget* parent)
    : QWidget(parent),
      wol_(std::make_unique<WOLCon>()),
      budCheckCB_(std::make_shared<Callback>()),
      logOnPrompt_(&AskWithDialog),
      chatOpener_(&OpenLobbyChat),
      ownBoxes_(std::make_unique<QtMessageBoxes>()),
      boxes_(ownBoxes_.get()),
      menuShower_(&PopUp) {
    setObjectName(QStringLiteral("VantorChatUI"));
    BuildControls();
    SetStatus(QString());

    wol_->SetTag(Tag{std::string("M")});
    wol_->LogOnResult = [this](int result) { WOL_LogOnResult(result); };
    wol_->Error = [this](int code) { WOL_Error(code); };
    wol_->BuddyListResult = [this](const std::string& list, int result) {
        WOL_BuddyListResult(list, result);
    };
    wol_->SetMotdPresenter([this](const std::string& news) {
        auto* motd = new MOTDUI(this);
        motd->SetMOTD(FromWire(news));
        motd->show();
    });
    credentials_.NickName = Settings().SettingString("LastNickName", "");
    budCheckCB_->SetHandler([this](const std::string& line, Delivery kind, const Param& param) {
        BudCheckCB_Callback(line, kind, param);
    });

    setMinimumSize(740, 320);
    resize(760, 520);
}

VantorChatUI::~VantorChatUI() {
    // The chat window talks to the session while it closes, so it goes first.
    if (cht_) {
        QPointer<QWidget> chat = cht_;
        cht_ = nullptr;
        chat->close();
        delete chat.data();
    }
    buddyList_->removeEventFilter(this);
    buddyList_->viewport()->removeEventFilter(this);
    // Session events must not reach a half-destroyed window.
    wol_->LogOnResult = nullptr;
    wol_->Error = nullptr;
    wol_->BuddyListResult = nullptr;
    wol_->SetMotdPresenter(nullptr);
    budCheckCB_->SetHandler(nullptr);
}

VantorBtn* VantorChatUI::Button(const QString& name, const QString& word, bool enabled) {
    auto* button = new VantorBtn(word, this);
    button->setObjectName(name);
    button->SetEnabled(enabled);
    return button;
}

void VantorChatUI::BuildControls() {
    bgImage_ = MakeBackground(this, SharedBackgroundPicture());

    titlePic_ = new PictureBox(QStringLiteral("TitlePic"), SharedTitlePicture(),
                               PictureBox::Fit::Banner, this);
    titlePic_->setAccessibleName(QStringLiteral("Vantor Desktop"));

    label_ = new QLabel(QStringLiteral("Logged in as:"), this);
    label_->setObjectName(QStringLiteral("Label"));
    logAs_ = new QLabel(QStringLiteral("Not Connected"), this);
    logAs_->setObjectName(QStringLiteral("LogAs"));
    status_ = new QLabel(QStringLiteral("Not connected to Westwood Online"), this);
    status_->setObjectName(QStringLiteral("Status"));
    for (QLabel* l : {label_, logAs_, status_}) l->setStyleSheet(QLatin1String(kLabelStyle));
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
    buddyList_->setStyleSheet(QLatin1String(kListStyle));
    buddyList_->setSelectionMode(QAbstractItemView::SingleSelection);
    buddyList_->setAllColumnsShowFocus(true);
    ThemeScrollBars(buddyList_);
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
    connect(refreshBud_, &VantorBtn::Click, this, &VantorChatUI::RefreshLocations);
    BuildBuddyMenu();

    buffTimer_ = new QTimer(this);
    buffTimer_->setObjectName(QStringLiteral("BuffTimer"));
    buffTimer_->setInterval(kBuffInterval);
    connect(buffTimer_, &QTimer::timeout, this, &VantorChatUI::PumpSessions);
    // Its ticks drive the automatic location search.
    refBuddy_ = new QTimer(this);
    refBuddy_->setObjectName(QStringLiteral("RefBuddy"));
    refBuddy_->setInterval(kRefBuddyInterval);
    connect(refBuddy_, &QTimer::timeout, this, &VantorChatUI::RefBuddy_Timer);
    // Gives up on a search whose missing answers have stopped coming.
    searchTimer_ = new QTimer(this);
    searchTimer_->setObjectName(QStringLiteral("SearchTimer"));
    searchTimer_->setSingleShot(true);
    searchTimer_->setInterval(kSearchIdleMs);
    connect(searchTimer_, &QTimer::timeout, this, &VantorChatUI::SearchTimedOut);

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
    buddyMnuDel_ = item("BuddyMnu_Del", QStringLiteral("&Delete"), false);
    buddyMnu_->addSeparator();
    buddyMnuRefUsr_ = item("BuddyMnu_RefUsr", QStringLiteral("&Refresh location"), false);
    buddyMnu_->addSeparator();
    buddyMnuReOrd_ = item("BuddyMnu_ReOrd", QStringLiteral("Re&order buddy list"), false);
    buddyMnu_->addSeparator();
    buddyMnuRef_ = item("BuddyMnu_Ref", QStringLiteral("Refresh all user locations"), false);
    buddyMnuReDL_ = item("BuddyMnu_ReDL", QStringLiteral("Re-download buddy list"), false);
    connect(buddyMnuPage_, &QAction::triggered, this, &VantorChatUI::PageBudClick);
    connect(buddyMnuReDL_, &QAction::triggered, this, &VantorChatUI::ReDownloadClick);
    connect(buddyMnuRefUsr_, &QAction::triggered, this, &VantorChatUI::RefreshSelectedClick);
    connect(buddyMnuRef_, &QAction::triggered, this, &VantorChatUI::RefreshLocations);
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
    status_->setGeometry(kMargin, kStatusTop, Px(w) - 2 * kMargin, 20);

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
}

void VantorChatUI::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void VantorChatUI::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        LayOut();  // sizes that changed while minimised were not applied
    } else if (event->type() == QEvent::ActivationChange && isActiveWindow() && childOpen_ &&
               childDialog_) {
        childDialog_->raise();
        childDialog_->activateWindow();
    }
}

void VantorChatUI::SetStatus(const QString& text) {
    setWindowTitle(MainCaption(text));
    status_->setText(text.isEmpty() ? QStringLiteral("Not connected to Westwood Online") : text);
}

void VantorChatUI::BeginChildDialog(QWidget* window) {
    childOpen_ = true;
    setEnabled(false);
    childDialog_ = window;
    // A child window would inherit the disabled state from its owner.
    if (window) window->setEnabled(true);
}

void VantorChatUI::EndChildDialog() {
    childOpen_ = false;
    setEnabled(true);
    childDialog_ = nullptr;
    activateWindow();
    setFocus(Qt::OtherFocusReason);
}

bool VantorChatUI::LoggedOn() const {
    return logInBtn_->BtnText() == QStringLiteral("LOGOUT");
}

void VantorChatUI::SetLogOnPrompt(LogOnPrompt prompt) {
    logOnPrompt_ = prompt ? std::move(prompt) : LogOnPrompt(&AskWithDialog);
}

void VantorChatUI::SetMessageBoxes(MessageBoxes* boxes) {
    boxes_ = boxes ? boxes : ownBoxes_.get();
}

void VantorChatUI::SetChatOpener(ChatOpener opener) {
    chatOpener_ = std::move(opener);
}

void VantorChatUI::SetEndProgram(std::function<void()> end) {
    endProgram_ = std::move(end);
}

void VantorChatUI::SetMenuShower(MenuShower shower) {
    menuShower_ = shower ? std::move(shower) : MenuShower(&PopUp);
}

void VantorChatUI::PumpSessions() {
    // A session's pass must not run inside itself: a message box raised from a handler runs a
    // nested event loop in which this timer keeps ticking.
    auto passOnce = [this](WOLCon& session) -> int {
        if (std::find(inPass_.begin(), inPass_.end(), &session) != inPass_.end()) return kPassIdle;
        inPass_.push_back(&session);
        const int result = session.PopulateBuff();
        inPass_.erase(std::find(inPass_.begin(), inPass_.end(), &session));
        return result;
    };

    if (passOnce(*wol_) == kPassClosed) {
        buffTimer_->stop();
        // Closed before the log-on finished: the log-in button is disabled while logging in, so
        // without this the user could never try again.
        if (logInBtn_->BtnText() != QStringLiteral("LOGOUT") && !logInBtn_->Enabled())
            ResetConnection();
    }
    if (!tempSessions_) return;
    try {
        // ForEach skips a session that a handler removes, even when the whole search is dropped.
        tempSessions_->ForEach([&passOnce](WOLCon& session) { passOnce(session); });
    } catch (...) {
        // A search session that fails only ends this tick.
    }
}

void VantorChatUI::LogInBtnClick() {
    if (LoggedOn()) {
        LogOffClick();
    } else {
        LogOnClick();
    }
}

void VantorChatUI::LogOnClick() {
    const LogOnAnswer answer = logOnPrompt_(this, FromWire(credentials_.NickName));
    if (answer.canceled) return;

    logInBtn_->SetEnabled(false);
    SaveSettingString("LastNickName", ToWire(answer.nick));
    credentials_.NickName = ToWire(answer.nick);
    credentials_.Password = ToWire(answer.pass);
    logAs_->setText(QStringLiteral("Connecting..."));
    SetStatus(QStringLiteral("Connecting..."));

    serverIndex_ = Settings().SettingLong("Server", 0);
    const std::int32_t port = Settings().SettingLong("ServerPort", 7000) + serverIndex_;
    // A failed connect has already been reported through Error; do not poll a dead socket.
    if (wol_->connect(port)) buffTimer_->start();
    wol_->LogOn(credentials_, Settings().SettingLong("ShowMOTD", 0) != 0);

    logAs_->setText(QStringLiteral("Logging in..."));
    SetStatus(QStringLiteral("Logging in..."));
}

void VantorChatUI::LogOffClick() {
    refBuddy_->stop();
    for (VantorBtn* b : {logInBtn_, pageBud_, addBud_, delBud_, refreshBud_, reOrdBud_})
        b->SetEnabled(false);

    if (cht_) {
        QPointer<QWidget> chat = cht_;
        cht_ = nullptr;
        chat->close();
        if (chat) chat->deleteLater();
    }
    wol_->CloseAllPageWin();
    chatBtn_->SetEnabled(false);
    logAs_->setText(QStringLiteral("Disconnecting..."));
    SetStatus(QStringLiteral("Disconnecting..."));
    buffTimer_->stop();

    StopSearch();
    QuitSession();

    buddyMnu_->hide();
    for (QAction* item : {buddyMnuReDL_, buddyMnuRefUsr_, buddyMnuRef_}) item->setEnabled(false);
    ClearBuddyList();
    progBar_->SetValue(0);
    logAs_->setText(QStringLiteral("Not Connected."));
    SetStatus(QString());
    logInBtn_->SetBtnText(QStringLiteral("LOG"));
    logInBtn_->SetEnabled(true);
}

void VantorChatUI::ResetConnection() {
    logInBtn_->SetEnabled(true);
    logAs_->setText(QStringLiteral("Not Connected."));
    SetStatus(QString());
    buffTimer_->stop();
    QuitSession();
}

void VantorChatUI::QuitSession() {
    // Quitting a link that is already gone fails to send "QUIT"; reporting that would log off
    // (or reset) again from inside this very call.
    const bool wasQuitting = quitting_;
    quitting_ = true;
    wol_->Quit();
    quitting_ = wasQuitting;
}

void VantorChatUI::WOL_LogOnResult(int result) {
    switch (result) {
        case 0:
            logAs_->setText(FromWire(credentials_.NickName));
            SetStatus(QStringLiteral("Welcome to Westwood Online!"));
            logInBtn_->SetBtnText(QStringLiteral("LOGOUT"));
            logInBtn_->SetEnabled(true);
            chatBtn_->SetEnabled(cht_.isNull());
            wol_->send("SETCODEPAGE 1252");
            wol_->send("SETOPT 17,33");
            wol_->GetBuddies();
            break;
        case 1:
            ShowBox(BoxIcon::Exclamation, QStringLiteral("Nickname in use"),
                    QStringLiteral("Your nickname is currently in use, please log on using a "
                                   "different nickname."));
            ResetConnection();
            break;
        case 2:
            ShowBox(BoxIcon::Exclamation, QStringLiteral("Nickname not provided"),
                    QStringLiteral("You didn't provide a nickname to logon with."));
            ResetConnection();
            break;
        default:
            break;
    }
}

void VantorChatUI::WOL_Error(int code) {
    if (quitting_ || ending_) {
        DebugLog(Tag{std::string("M")},
                 "Error " + std::to_string(code) + " while closing the connection.", kLogNote);
        return;
    }
    if (code == kErrPasswordNeeded) {
        ResetConnection();
        ShowBox(BoxIcon::Exclamation, QStringLiteral("Incorrect Password"),
                QStringLiteral("Password incorrect."));
        // Asked again once the receive pass that brought the refusal has unwound.
        QTimer::singleShot(0, this, [this] {
            if (!LoggedOn() && logInBtn_->Enabled() && !ending_) LogInBtnClick();
        });
        return;
    }
    if (LoggedOn()) {
        LogOffClick();
    } else {
        ResetConnection();
    }
    ShowBox(BoxIcon::Critical, QStringLiteral("Error!"),
            QStringLiteral("Error ") + QString::number(code) + QStringLiteral(" has occurred."));
}

void VantorChatUI::WOL_BuddyListResult(const std::string& list, int result) {
    if (result != 0) return;
    const bool allServers = Settings().SettingLong("ScanBuddyOtherServer", 0) == 1;
    SetupColumns(allServers);
    const int locations = allServers ? 3 : 1;
    const unsigned generation = listGeneration_;
    for (const std::string& nick : SplitBuddies(list)) {
        QStringList cells{FromWire(nick)};
        for (int c = 0; c < locations; ++c) cells << QStringLiteral("Unknown");
        auto* row = new QTreeWidgetItem(buddyList_, cells);
        // The keyboard needs a current row before the arrow keys move anywhere.
        if (!buddyList_->currentItem()) buddyList_->setCurrentItem(row);
        QCoreApplication::processEvents();
        // A log-off meanwhile emptied the list; what is left of this one is stale.
        if (generation != listGeneration_) return;
    }
    pageBud_->SetEnabled(true);
    buddyMnuReDL_->setEnabled(true);
    buddyMnuRefUsr_->setEnabled(true);
    if (Settings().SettingLong("AutoBuddyRefreshInt", 0) != 0) {
        refBuddy_->start();
        refreshMinutes_ = 0;
    }
    RefreshLocations();
}

void VantorChatUI::SetupColumns(bool allServers) {
    QStringList headers{QStringLiteral("Buddy NickName")};
    if (allServers) {
        headers << QStringLiteral("USA Server") << QStringLiteral("European Server")
                << QStringLiteral("Pacific Server");
    } else {
        headers << QStringLiteral("Location");
    }
    buddyList_->setColumnCount(static_cast<int>(headers.size()));
    buddyList_->setHeaderLabels(headers);
    buddyList_->setColumnWidth(0, Px(kNickColumnTwips));
    for (int c = 1; c < headers.size(); ++c)
        buddyList_->setColumnWidth(c, Px(kLocationColumnTwips));
}

void VantorChatUI::ClearBuddyList() {
    ++listGeneration_;
    // Outstanding answers would carry row numbers of the old list.
    StopSearch();
    buddyList_->clear();
    buddyList_->setColumnCount(0);
}

void VantorChatUI::RefreshLocations() {
    for (VantorBtn* b : {refreshBud_, addBud_, delBud_, reOrdBud_}) b->SetEnabled(false);
    buddyMnuRef_->setEnabled(false);
    searchStart_ = SecondsSinceMidnight();
    StopSearch();
    const unsigned generation = ++searchGeneration_;
    tempSessions_ = std::make_unique<WOLCons>();

    // The columns chosen when the list was filled decide, so that a setting changed since then
    // cannot send answers to columns the list does not show.
    const int rows = buddyList_->topLevelItemCount();
    const bool allServers = buddyList_->columnCount() == 1 + kServers;
    const int columns = allServers ? kServers : 1;
    searchRows_ = rows;
    repliesExpected_ = rows * columns;
    repliesReceived_ = 0;
    queriesFailed_ = 0;
    searchKeys_.assign(static_cast<std::size_t>(repliesExpected_), std::string());
    progBar_->SetMax(repliesExpected_);
    progBar_->SetValue(0);
    if (rows == 0) {
        tempSessions_.reset();
        FinishSearch();
        return;
    }
    searchTimer_->start();

    const std::int32_t basePort = Settings().SettingLong("ServerPort", 7000);
    for (int c = 1; c <= columns; ++c) {
        const std::int32_t port = basePort + (allServers ? c - 1 : serverIndex_);
        bool portDown = false;  // one failed connect is enough: each would wait for its time-out
        for (int i = 1; i <= rows; ++i) {
            if (portDown) {
                ++queriesFailed_;
            } else {
                portDown = !SendLocationQuery(i, c, rows, port);
                if (portDown) ++queriesFailed_;
            }
            CheckSearchDone();
            // Answers to the earlier queries are handled while the later ones go out.
            QCoreApplication::processEvents();
            if (generation != searchGeneration_ || !tempSessions_) return;
            PumpSessions();
            if (generation != searchGeneration_ || !tempSessions_) return;
        }
    }
}

bool VantorChatUI::SendLocationQuery(int row, int column, int rows, std::int32_t port) {
    const std::string nick = ToWire(buddyList_->topLevelItem(row - 1)->text(0));
    const int position = (column - 1) * rows + row;
    // The same nickname twice (or differing only in case) needs a key of its own.
    std::string key = nick + std::to_string(column);
    WOLCon* session = tempSessions_->Add(key);
    for (int n = 2; !session; ++n) {
        key = nick + std::to_string(column) + "#" + std::to_string(n);
        session = tempSessions_->Add(key);
    }
    searchKeys_[static_cast<std::size_t>(position - 1)] = key;
    session->SetTag(Tag{position});
    if (!session->connect(port)) {
        tempSessions_->Remove(key);
        return false;
    }
    searchTimer_->start();
    session->send("FINDUSEREX " + nick + " 0",
                  Param(std::to_string(row) + " " + std::to_string(column)), budCheckCB_, "398");
    return true;
}

void VantorChatUI::RefreshSelectedClick() {
    QTreeWidgetItem* row = SelectedBuddy();
    if (!row) return;
    const int index = buddyList_->indexOfTopLevelItem(row) + 1;
    wol_->send("FINDUSEREX " + ToWire(row->text(0)), Param("S" + std::to_string(index)),
               budCheckCB_, "398");
}

void VantorChatUI::SetLocation(int row, int column, const std::string& line) {
    const QString text = FromWire(DecodeLocation(line));
    // Rows removed meanwhile leave the index past the end.
    if (row < 1 || row > buddyList_->topLevelItemCount()) return;
    if (column < 1 || column >= buddyList_->columnCount()) return;
    buddyList_->topLevelItem(row - 1)->setText(column, text);
}

void VantorChatUI::BudCheckCB_Callback(const std::string& line, Delivery kind, const Param& param) {
    const std::string* tag = std::any_cast<std::string>(&param);
    if (!tag || tag->empty()) return;

    if ((*tag)[0] == 'S') {
        if (buddyList_->topLevelItemCount() == 0) return;
        // The main session answers for the server logged on to: with a column per server that
        // is the column of that server.
        const bool allServers = buddyList_->columnCount() == 1 + kServers;
        const int column =
            allServers && serverIndex_ >= 0 && serverIndex_ < kServers ? serverIndex_ + 1 : 1;
        SetLocation(PlainNumber(std::string_view(*tag).substr(1)), column, line);
        FinishSearch();
        return;
    }

    if (kind != Delivery::Answer) return;
    const std::size_t blank = tag->find(' ');
    if (blank == std::string::npos) return;
    const int row = PlainNumber(std::string_view(*tag).substr(0, blank));
    const int column = PlainNumber(std::string_view(*tag).substr(blank + 1));
    const int position = (column - 1) * searchRows_ + row;
    if (row < 1 || row > searchRows_ || column < 1 || position > repliesExpected_) return;

    ++repliesReceived_;
    searchTimer_->start();
    if (buddyList_->topLevelItemCount() == 0) return;
    SetLocation(row, column, line);
    // Closed now; destroyed once its own receive pass has let go of it.
    const std::string key = searchKeys_[static_cast<std::size_t>(position - 1)];
    if (tempSessions_) {
        if (WOLCon* session = tempSessions_->Item(key)) {
            session->Quit();
            tempSessions_->Remove(key);
        }
    }
    progBar_->SetValue(repliesReceived_);
    CheckSearchDone();
}

void VantorChatUI::CheckSearchDone() {
    if (!tempSessions_ || repliesReceived_ + queriesFailed_ != repliesExpected_) return;
    searchEnd_ = SecondsSinceMidnight();
    QString text = SearchCompletedText(searchStart_, searchEnd_);
    if (queriesFailed_ != 0) {
        text += QStringLiteral(" (") + QString::number(queriesFailed_) + QStringLiteral(" of ") +
                QString::number(repliesExpected_) + QStringLiteral(" could not connect)");
    }
    SetStatus(text);
    StopSearch();
    FinishSearch();
}

void VantorChatUI::SearchTimedOut() {
    if (!tempSessions_) return;
    SetStatus(QStringLiteral("Search timed out: ") + QString::number(repliesReceived_) +
              QStringLiteral(" of ") + QString::number(repliesExpected_) +
              QStringLiteral(" locations found"));
    StopSearch();
    FinishSearch();
}

void VantorChatUI::StopSearch() {
    searchTimer_->stop();
    progBar_->SetValue(0);
    if (!tempSessions_) return;
    ++searchGeneration_;
    std::unique_ptr<WOLCons> sessions = std::move(tempSessions_);
    // Quitting reaches no handler of ours: search sessions raise no events to this window.
    sessions->ForEach([](WOLCon& session) { session.Quit(); });
}

void VantorChatUI::FinishSearch() {
    // Adding, deleting and reordering buddies are not offered yet: their buttons stay disabled
    // rather than inviting clicks that do nothing.
    refreshBud_->SetEnabled(true);
    buddyMnuRef_->setEnabled(true);
}

void VantorChatUI::RefBuddy_Timer() {
    if (Settings().SettingLong("AutoBuddyRefresh", 0) == 0) {
        refBuddy_->stop();
        return;
    }
    ++refreshMinutes_;
    if (refreshMinutes_ >= Settings().SettingLong("AutoBuddyRefreshInt", 0)) {
        RefreshLocations();
        refreshMinutes_ = 0;
    }
}

QTreeWidgetItem* VantorChatUI::SelectedBuddy() const {
    const QList<QTreeWidgetItem*> selected = buddyList_->selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

void VantorChatUI::PageBudClick() {
    QTreeWidgetItem* row = SelectedBuddy();
    if (!row) return;
    wol_->NewPageWin(ToWire(row->text(0)));
}

void VantorChatUI::ReDownloadClick() {
    buddyMnuReDL_->setEnabled(false);
    ClearBuddyList();
    wol_->GetBuddies();
}

void VantorChatUI::ShowBuddyMenu(QTreeWidgetItem* row, const QPoint& globalPos) {
    if (!row) return;
    buddyList_->setCurrentItem(row);
    QString nick = row->text(0);
    nick.replace(QLatin1Char('&'), QStringLiteral("&&"));  // a literal ampersand, not a mnemonic
    buddyMnuRefUsr_->setText(QStringLiteral("&Refresh location for \"") + nick + QLatin1Char('"'));
    menuShower_(*buddyMnu_, globalPos);
}

bool VantorChatUI::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddyList_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            ShowBuddyMenu(buddyList_->itemAt(mouse->position().toPoint()),
                          mouse->globalPosition().toPoint());
        }
        return false;
    }
    if (watched != buddyList_) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        if (QTreeWidgetItem* row = SelectedBuddy()) {
            const QRect place = buddyList_->visualItemRect(row);
            ShowBuddyMenu(row, buddyList_->viewport()->mapToGlobal(place.bottomLeft()));
        }
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && SelectedBuddy()) {
            PageBudClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void VantorChatUI::ShowBox(BoxIcon icon, const QString& title, const QString& text) {
    if (ending_) return;
    boxes_->Show(this, icon, title, text);
}

void VantorChatUI::AboutClick() {
    if (abtUI_) return;
    abtUI_ = new AboutUI(this);
    connect(abtUI_, &AboutUI::Finished, this, [this] {
        if (abtUI_) abtUI_->deleteLater();
        abtUI_ = nullptr;
        EndChildDialog();
    });
    BeginChildDialog(abtUI_);
    abtUI_->show();
}

void VantorChatUI::OptionsClick() {
    SettingUI* settings = SettingUI::Instance();
    if (!settings) return;
    settings->move(geometry().center() - settings->rect().center());
    settings->exec();
}

void VantorChatUI::ChatClick() {
    chatBtn_->SetEnabled(false);
    if (chatOpener_) cht_ = chatOpener_(*this);
    if (!cht_) chatBtn_->SetEnabled(LoggedOn());
}

void VantorChatUI::ChatClosed() {
    QPointer<QWidget> chat = cht_;
    cht_ = nullptr;
    if (chat) chat->deleteLater();
    chatBtn_->SetEnabled(LoggedOn());
}

void VantorChatUI::closeEvent(QCloseEvent* event) {
    EndRun();
    event->accept();
}

void VantorChatUI::EndRun() {
    if (ending_) return;
    if (LoggedOn()) LogOffClick();
    ending_ = true;
    ShutDownDebug();
    if (endProgram_) endProgram_();
}

}  // namespace vantor
