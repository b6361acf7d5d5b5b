// SPDX-License-Identifier: MIT
#include "app/vantor_chat_ui.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QTimer>
#include <QTreeWidget>

#include "app/about_ui.h"
#include "app/add_buddy_ui.h"
#include "app/buddy_tree.h"
#include "app/log_on_ui.h"
#include "app/motd_ui.h"
#include "chat/chat_ui.h"
#include "common/qt_text.h"
#include "controls/prog_bar.h"
#include "controls/vantor_btn.h"
#include "diagnostics/debug_log.h"
#include "reorder/buddy_restore.h"
#include "reorder/reorder_link.h"
#include "reorder/reorder_status_ui.h"
#include "reorder/reorder_ui.h"
#include "session/conversation_log.h"
#include "settings/setting_names.h"
#include "settings/setting_ui.h"
#include "settings/settings_source.h"
#include "sound/sounds.h"

namespace vantor {

namespace {

using namespace Qt::Literals::StringLiterals;

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

QString LogInText(LogInWord word) {
    switch (word) {
        case LogInWord::Log:
            break;
        case LogInWord::Logout:
            return QStringLiteral("LOGOUT");
        case LogInWord::Cancel:
            return QStringLiteral("CANCEL");
    }
    return QStringLiteral("LOG");
}

// The boxes of the child windows: none once the program is ending.
class VantorChatUI::RunBoxes final : public MessageBoxes {
public:
    explicit RunBoxes(VantorChatUI& main) : main_(main) {}
    void Show(QWidget* parent, BoxIcon icon, const QString& title, const QString& text) override {
        if (!main_.session_.Ended()) main_.boxes_->Show(parent, icon, title, text);
    }
    bool Ask(QWidget* parent, const QString& title, const QString& text) override {
        return !main_.session_.Ended() && main_.boxes_->Ask(parent, title, text);
    }

private:
    VantorChatUI& main_;
};

QString MainCaption(const QString& status) {
    QString caption =
        QLatin1String(kProductName) + QLatin1Char(' ') + QLatin1String(kProductVersion);
    if (!status.isEmpty()) caption += QStringLiteral(" - ") + status;
    return caption;
}

VantorChatUI::VantorChatUI(QWidget* parent)
    : QWidget(parent),
      session_(*this),
      restore_(std::make_unique<BuddyRestore>(BuddyRestore::DefaultFile())),
      reorderLink_(MakeWolReorderLink(session_.WOL())),
      runBoxes_(std::make_unique<RunBoxes>(*this)),
      logOnPrompt_(&AskWithDialog),
      chatOpener_(&OpenLobbyChat),
      boxes_(&ModalBoxes()),
      menuShower_(&PopUp) {
    setObjectName(QStringLiteral("VantorChatUI"));
    stallMeter_ = new StallMeter(this);
    BuildControls();
    SetStatus(QString());

    session_.Buddies().SetDecimalPoint(QLocale::system().decimalPoint().toStdString());
    session_.Buddies().SetListMender([this](const std::vector<std::string>& list) {
        return restore_->RestoreAtLogOn(*reorderLink_, list);
    });
    SetLogFailureNotice([this](const std::string& message) { session_.SetStatus(message); });

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
    SetLogFailureNotice(nullptr);
    session_.Buddies().SetListMender(nullptr);
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
    session_.SetStatus(text.toStdString());
}

void VantorChatUI::ShowStatus(const std::string& text) {
    status_ = FromWire(text);
    elide_ = Settings().Get(setting::kElideStatus) != 0;
    DrawStatus();
}

void VantorChatUI::DrawStatus() {
    const QString text =
        status_.isEmpty() ? QStringLiteral("Not connected to Westwood Online") : status_;
    if (!elide_) {
        setWindowTitle(MainCaption(status_));
        statusLabel_->setText(text);
        return;
    }
    // A long status (a log's path, a server's reason) shows its start and its end, and the rest
    // in the tooltip; the caption keeps the product's name.
    const QString shown =
        statusLabel_->fontMetrics().elidedText(text, Qt::ElideMiddle, StatusWidth());
    statusLabel_->setText(shown);
    statusLabel_->setToolTip(shown == text ? QString() : text);
    constexpr int kTitleBarButtons = 120;
    const int room =
        width() - kTitleBarButtons - fontMetrics().horizontalAdvance(MainCaption(u" "_s));
    setWindowTitle(
        MainCaption(status_.isEmpty()
                        ? status_
                        : fontMetrics().elidedText(status_, Qt::ElideMiddle, std::max(room, 80))));
}

void VantorChatUI::ShowLogAs(const std::string& text) {
    logAs_->setText(FromWire(text));
}

void VantorChatUI::ShowControls(const MainControls& c) {
    if (c.word != word_) {
        // The music plays while the user is logged on.
        if (c.word == LogInWord::Logout) {
            NoteLoggedOn();
        } else if (word_ == LogInWord::Logout) {
            NoteLoggedOff();
        }
        word_ = c.word;
        logInBtn_->SetBtnText(LogInText(c.word));
        logInWordSince_.start();
    }
    logInBtn_->SetEnabled(c.logIn);
    chatBtn_->SetEnabled(c.chat);
    pageBud_->SetEnabled(c.page);
    addBud_->SetEnabled(c.add);
    delBud_->SetEnabled(c.del);
    refreshBud_->SetEnabled(c.refresh);
    reOrdBud_->SetEnabled(c.reorder);
    buddyMnuRef_->setEnabled(c.menuRefresh);
    buddyMnuReDL_->setEnabled(c.menuReDownload);
    buddyMnuRefUsr_->setEnabled(c.menuRefreshRow);
}

void VantorChatUI::ShowProgress(int value, int max) {
    if (max != progMax_) {
        progMax_ = max;
        progBar_->SetMax(max);  // repaints the whole bar
    }
    progBar_->SetValue(value);
}

void VantorChatUI::SetTimer(MainTimer timer, bool running) {
    QTimer* which = nullptr;
    switch (timer) {
        case MainTimer::Receive:
            which = buffTimer_;
            break;
        case MainTimer::Minute:
            which = refBuddy_;
            break;
        case MainTimer::SearchIdle:
            which = searchTimer_;
            break;
        case MainTimer::SearchPoll:
            which = searchPoll_;
            break;
    }
    if (running) {
        which->start();
    } else {
        which->stop();
    }
}

void VantorChatUI::Later(int ms, std::function<void()> step) {
    QTimer::singleShot(ms, this, std::move(step));
}

void VantorChatUI::Waiting(bool waiting) {
    if (waiting) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        waitScope_ = std::make_unique<StallMeter::Scope>("the log-on's connect");
    } else {
        waitScope_.reset();
        QApplication::restoreOverrideCursor();
    }
}

void VantorChatUI::ShowMotd(const std::string& news) {
    auto* motd = new MOTDUI(this);
    motd->SetMOTD(FromWire(news));
    motd->show();
}

void VantorChatUI::Tell(const Told& told) {
    switch (told.message) {
        case MainMessage::NicknameInUse:
            ShowBox(BoxIcon::Exclamation, QStringLiteral("Nickname in use"),
                    QStringLiteral("Your nickname is currently in use, please log on using a "
                                   "different nickname."));
            break;
        case MainMessage::NoNickname:
            ShowBox(BoxIcon::Exclamation, QStringLiteral("Nickname not provided"),
                    QStringLiteral("You didn't provide a nickname to logon with."));
            break;
        case MainMessage::PasswordIncorrect:
            ShowBox(BoxIcon::Exclamation, QStringLiteral("Incorrect Password"),
                    QStringLiteral("Password incorrect."));
            break;
        case MainMessage::Error:
            ShowBox(BoxIcon::Critical, QStringLiteral("Error!"),
                    QStringLiteral("Error ") + QString::number(Number(told.code)) +
                        QStringLiteral(" has occurred."));
            break;
        case MainMessage::BuddiesRestored:
            ShowBox(BoxIcon::Information, QStringLiteral("Buddies restored"),
                    RestoredAtLogOnText(told.nicks));
            break;
    }
}

void VantorChatUI::ShowBox(BoxIcon icon, const QString& title, const QString& text) {
    runBoxes_->Show(this, icon, title, text);
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

void VantorChatUI::SetLogOnPrompt(LogOnPrompt prompt) {
    logOnPrompt_ = prompt ? std::move(prompt) : LogOnPrompt(&AskWithDialog);
}

void VantorChatUI::SetMessageBoxes(MessageBoxes* boxes) {
    boxes_ = boxes ? boxes : &ModalBoxes();
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
    session_.Pump();
}

void VantorChatUI::LogInBtnClick() {
    if (logInWordSince_.isValid() &&
        logInWordSince_.elapsed() < QApplication::doubleClickInterval())
        return;
    switch (session_.Controls().word) {
        case LogInWord::Logout:
            session_.LogOff();
            break;
        case LogInWord::Cancel:
            session_.CancelLogOn();
            break;
        case LogInWord::Log:
            LogOnClick();
            break;
    }
}

void VantorChatUI::LogOnClick() {
    const LogOnAnswer answer = logOnPrompt_(this, FromWire(session_.Credentials().NickName));
    if (answer.canceled) return;
    session_.LogOn(ToWire(answer.nick), ToWire(answer.pass));
}

void VantorChatUI::AskLogOn() {
    LogInBtnClick();
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
    // The list's view settings may have changed in the windows it opens.
    session_.Buddies().ApplyViewSettings();
}

void VantorChatUI::ChatClick() {
    session_.ChatShown(true);
    if (chatOpener_) cht_ = chatOpener_(*this);
    if (!cht_) session_.ChatShown(false);
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
    session_.ChatShown(false);
}

void VantorChatUI::LoggingOff() {
    CloseChat(ChatRelease::Later);
    buddyMnu_->hide();
}

void VantorChatUI::closeEvent(QCloseEvent* event) {
    EndRun();
    event->accept();
}

void VantorChatUI::EndRun() {
    if (session_.Ended()) return;
    session_.End();
    ShutDownDebug();
    if (endProgram_) endProgram_();
}

}  // namespace vantor
