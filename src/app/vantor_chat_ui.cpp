// SPDX-License-Identifier: MIT
#include "app/vantor_chat_ui.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QTimer>
#include <QTreeWidget>
#include <cmath>
#include <exception>

#include "app/about_ui.h"
#include "app/add_buddy_ui.h"
#include "app/log_on_ui.h"
#include "app/motd_ui.h"
#include "app/stall_meter.h"
#include "chat/chat_ui.h"
#include "common/qt_text.h"
#include "controls/prog_bar.h"
#include "controls/vantor_btn.h"
#include "diagnostics/debug_log.h"
#include "platform/socket_layer.h"
#include "reorder/buddy_restore.h"
#include "reorder/reorder_ui.h"
#include "session/conversation_log.h"
#include "settings/setting_ui.h"
#include "settings/settings_source.h"
#include "sound/sounds.h"
#include "transport/wolcon2.h"

namespace vantor {

namespace {

constexpr double kSecondsPerDay = 86400.0;

void PopUp(QMenu& menu, const QPoint& globalPos) {
    menu.popup(globalPos);
}

LogOnAnswer AskWithDialog(QWidget* parent, const QString& lastNick) {
    LogOnUI dialog(parent);
    dialog.SetNick(lastNick);
    dialog.exec();
    return LogOnAnswer{dialog.Canceled(), dialog.Nick(), dialog.Pass()};
}

QWidget* OpenLobbyChat(VantorChatUI& main) {
    auto* chat = new ChatUI(nullptr);
    QObject::connect(chat, &ChatUI::Closed, &main, [&main] { main.ChatClosed(); });
    chat->SetWOL(ChatLinkTo(main.WOL()));
    chat->show();
    chat->SetUser(main.Credentials().NickName);
    chat->ConnectChat();
    return chat;
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
      search_(*this, budCheckCB_),
      restore_(std::make_unique<BuddyRestore>(BuddyRestore::DefaultFile())),
      logOnPrompt_(&AskWithDialog),
      chatOpener_(&OpenLobbyChat),
      ownBoxes_(std::make_unique<QtMessageBoxes>()),
      boxes_(ownBoxes_.get()),
      menuShower_(&PopUp) {
    setObjectName(QStringLiteral("VantorChatUI"));
    stallMeter_ = new StallMeter(this);
    BuildControls();
    SetStatus(QString());

    wol_->SetTag(Tag{std::string("M")});
    wol_->LogOnResult = [this](LogOnResult result) { WOL_LogOnResult(result); };
    wol_->Error = [this](ErrorCode code) { WOL_Error(code); };
    wol_->BuddyListResult = [this](const std::string& list, int result) {
        WOL_BuddyListResult(list, result);
    };
    wol_->SetMotdPresenter([this](const std::string& news) {
        auto* motd = new MOTDUI(this);
        motd->SetMOTD(FromWire(news));
        motd->show();
    });
    credentials_.NickName = Settings().Get(setting::kLastNickName);
    budCheckCB_->SetHandler([this](const std::string& line, Delivery kind, const Param& param) {
        BudCheckCB_Callback(line, kind, param);
    });
    SetLogFailureNotice(
        [this](const std::string& message) { SetStatus(QString::fromUtf8(message)); });

    setMinimumSize(740, 320);
    resize(760, 520);
}

VantorChatUI::~VantorChatUI() {
    // The dialogs use the session and the restore record, which go before the child windows.
    delete reordUI_.data();
    delete addBudUI_.data();
    // The chat window talks to the session while it closes, so it goes first.
    CloseChat(ChatRelease::Now);
    buddyList_->removeEventFilter(this);
    buddyList_->viewport()->removeEventFilter(this);
    // Session events must not reach a half-destroyed window.
    wol_->LogOnResult = nullptr;
    wol_->Error = nullptr;
    wol_->BuddyListResult = nullptr;
    wol_->SetMotdPresenter(nullptr);
    budCheckCB_->SetHandler(nullptr);
    SetLogFailureNotice(nullptr);
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
    const StallMeter::Scope scope("the receive pass");
    ReconnectTick();
    PassResult result = PassResult::Idle;
    {
        const InPass::Guard guard(inPass_, *wol_);
        if (guard.Entered()) result = wol_->PopulateBuff();
    }
    if (result == PassResult::Closed) {
        if (reordUI_) reordUI_->ConnectionLost();
        MainLinkClosed();
    }
}

void VantorChatUI::PumpSearch() {
    const StallMeter::Scope scope("the location search");
    // A search session that fails only ends this tick.
    try {
        search_.Poll();
        WOLCons* sessions = search_.Sessions();
        if (!sessions) return;
        // ForEach skips a session that a handler removes, even when the whole search is dropped.
        sessions->ForEach([this](WOLCon& session) {
            const InPass::Guard guard(inPass_, session);
            if (guard.Entered()) session.PopulateBuff();
        });
    } catch (const std::exception& e) {
        DebugLog(Tag{std::string("M")}, std::string("Location search pass failed: ") + e.what(),
                 kLogError);
    } catch (...) {
        DebugLog(Tag{std::string("M")}, "Location search pass failed.", kLogError);
    }
}

void VantorChatUI::LogInBtnClick() {
    if (logInWordSince_.isValid() &&
        logInWordSince_.elapsed() < QApplication::doubleClickInterval())
        return;
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
    Settings().Set(setting::kLastNickName, ToWire(answer.nick));
    credentials_.NickName = ToWire(answer.nick);
    credentials_.Password = ToWire(answer.pass);
    logAs_->setText(QStringLiteral("Connecting..."));
    SetStatus(QStringLiteral("Connecting..."));

    // Looked up once per log-on, away from the window, and reused by the location search.
    hostLookup_ = std::make_unique<HostLookup>(Settings().Get(setting::kServerHost));
    ConnectAndLogOn();
}

void VantorChatUI::ConnectAndLogOn() {
    if (ending_ || !hostLookup_) return;
    if (!hostLookup_->Ready()) {
        QTimer::singleShot(20, this, [this] { ConnectAndLogOn(); });
        return;
    }
    serverIndex_ = Settings().Get(setting::kServer);
    const std::int32_t port = Settings().Get(setting::kServerPort) + serverIndex_;
    // The one connect that waits, bounded by its time-out; the pointer says so meanwhile.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool connected = false;
    {
        const StallMeter::Scope scope("the log-on's connect");
        connected = wol_->connect(port, hostLookup_->Address());
    }
    QApplication::restoreOverrideCursor();
    // A failed connect has already been reported through Error; do not poll a dead socket.
    if (connected) {
        KeepLinkAlive();
        buffTimer_->start();
    }
    wol_->LogOn(credentials_, Settings().Get(setting::kShowMotd) != 0);

    logAs_->setText(QStringLiteral("Logging in..."));
    SetStatus(QStringLiteral("Logging in..."));
}

void VantorChatUI::LogOffClick() {
    // Closing the chat window sends "PART"; on a dead link that fails, and the failure must not
    // start this log-off again from inside itself.
    const bool wasQuitting = quitting_;
    quitting_ = true;
    reconnect_.Cancel();
    refBuddy_->stop();
    for (VantorBtn* b : {logInBtn_, pageBud_, addBud_, delBud_, refreshBud_, reOrdBud_})
        b->SetEnabled(false);

    CloseChat(ChatRelease::Later);
    wol_->CloseAllPageWin();
    wol_->Pages().SetLinkDown(false);
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
    NoteLoggedOff();
    logInWordSince_.start();
    logInBtn_->SetEnabled(true);
    quitting_ = wasQuitting;
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

void VantorChatUI::WOL_LogOnResult(LogOnResult result) {
    const bool again = ReconnectAnswered(result);
    switch (result) {
        case LogOnResult::LoggedOn:
            logAs_->setText(FromWire(credentials_.NickName));
            SetStatus(QStringLiteral("Welcome to Westwood Online!"));
            logInBtn_->SetBtnText(QStringLiteral("LOGOUT"));
            NoteLoggedOn();
            logInWordSince_.start();
            logInBtn_->SetEnabled(true);
            chatBtn_->SetEnabled(cht_.isNull());
            restoreDue_ = true;
            wol_->send(command::kSetCodePage);
            wol_->send(command::kSetOptions);
            wol_->GetBuddies();
            if (again) LinkRestored();
            break;
        case LogOnResult::NicknameInUse:
            ShowBox(BoxIcon::Exclamation, QStringLiteral("Nickname in use"),
                    QStringLiteral("Your nickname is currently in use, please log on using a "
                                   "different nickname."));
            ResetConnection();
            break;
        case LogOnResult::NoNickname:
            ShowBox(BoxIcon::Exclamation, QStringLiteral("Nickname not provided"),
                    QStringLiteral("You didn't provide a nickname to logon with."));
            ResetConnection();
            break;
    }
}

void VantorChatUI::WOL_Error(ErrorCode code) {
    if (quitting_ || ending_) {
        DebugLog(Tag{std::string("M")},
                 "Error " + std::to_string(Number(code)) + " while closing the connection.",
                 kLogNote);
        return;
    }
    if (ReconnectError(code)) return;
    if (code == ErrorCode::PasswordNeeded) {
        ResetConnection();
        ShowBox(BoxIcon::Exclamation, QStringLiteral("Incorrect Password"),
                QStringLiteral("Password incorrect."));
        // Asked again once the receive pass that brought the refusal has unwound.
        QTimer::singleShot(0, this, [this] {
            if (!LoggedOn() && logInBtn_->Enabled() && !ending_) LogInBtnClick();
        });
        return;
    }
    // A running reorder names the error in its own box, with what becomes of its buddies.
    const bool reorderTells = reordUI_ && reordUI_->Busy();
    if (reordUI_) reordUI_->SessionError(Number(code));
    // The server's reason ("Killed by admin") says more than the code; read it before the reset.
    const std::string reason = code == ErrorCode::Server ? wol_->Interface().LastErrorReason() : "";
    if (LoggedOn()) {
        LogOffClick();
    } else {
        ResetConnection();
    }
    if (!reason.empty()) {
        DebugLog(Tag{std::string("M")}, "Server error: " + reason, kLogError);
        SetStatus(FromWire(reason));
    }
    if (reorderTells) return;
    ShowBox(BoxIcon::Critical, QStringLiteral("Error!"),
            QStringLiteral("Error ") + QString::number(Number(code)) +
                QStringLiteral(" has occurred."));
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
    CloseChat(ChatRelease::Later);
}

void VantorChatUI::CloseChat(ChatRelease release) {
    const QPointer<QWidget> chat = cht_;
    cht_ = nullptr;  // the Closed it raises below finds nothing left to drop
    // Sends its PART and raises Closed; a window already closing is not closed twice.
    if (chat) chat->close();
    if (release == ChatRelease::Now)
        delete chat.data();
    else if (chat)
        chat->deleteLater();  // it may be inside one of its own events
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