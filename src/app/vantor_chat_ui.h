// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/in_pass.h"
#include "app/message_box.h"
#include "common/liveness.h"
#include "session/buddy_watch.h"
#include "session/location_search.h"
#include "session/reconnect_policy.h"
#include "session/wolcon.h"
#include "transport/callback.h"

class QAction;
class QLabel;
class QMenu;
class QPoint;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace vantor {

class AboutUI;
class AddBuddyUI;
class BuddyRestore;
class HostLookup;
class StallMeter;
class PictureBox;
class ReOrderUI;
class Callback;

class ProgBar;
class VantorBtn;

// What the log-on dialog answered.
struct LogOnAnswer {
    bool canceled = true;
    QString nick;
    QString pass;
};

// The main window: log-on state, buddy list, the receive timer that drives every session, and the
// child windows it opens. One instance for the whole run; closing it ends the program. Its
// controls are built in vantor_chat_ui_layout.cpp and the buddy list is kept in
// vantor_chat_ui_buddies.cpp; the location search itself is a LocationSearch.
class VantorChatUI : public QWidget, private LocationView {
    Q_OBJECT

public:
    static constexpr int kTwipsPerPixel = 15;

    explicit VantorChatUI(QWidget* parent = nullptr);
    ~VantorChatUI() override;

    void SetStatus(const QString& text);
    void BeginChildDialog(QWidget* window);
    void EndChildDialog();
    bool ChildOpen() const { return childOpen_; }
    bool LoggedOn() const;  // LogInBtn reads "LOGOUT"

    WOLCon& WOL() { return *wol_; }
    WolInfo& Credentials() { return credentials_; }
    QWidget* Cht() const { return cht_; }
    AddBuddyUI* AddBudUI() const;  // the open add-buddy dialog, or none
    ReOrderUI* ReordUI() const;    // the open reorder dialog, or none

    // The temporary sessions of a running location search; none when no search runs.
    WOLCons* TempSessions() const { return search_.Sessions(); }

    // One receive pass over every session (the BuffTimer tick).
    void PumpSessions();
    // Connects and one receive pass of the location search's sessions (also the SearchPoll tick).
    void PumpSearch();

    // The automatic location search's minute counter; restarted whenever the list is filled.
    int RefreshMinutes() const { return refreshMinutes_; }
    // Answers counted and expected by the running (or last) location search.
    int RepliesReceived() const { return search_.Received(); }
    int RepliesExpected() const { return search_.Expected(); }

    // Seams for tests and for the program's wiring.
    using LogOnPrompt = std::function<LogOnAnswer(QWidget* parent, const QString& lastNick)>;
    using ChatOpener = std::function<QWidget*(VantorChatUI& main)>;
    // Shows the buddy pop-up menu at a screen position; the default pops it up without waiting.
    using MenuShower = std::function<void(QMenu& menu, const QPoint& globalPos)>;
    void SetLogOnPrompt(LogOnPrompt prompt);
    void SetMessageBoxes(MessageBoxes* boxes);  // not owned; nullptr restores real boxes
    void SetChatOpener(ChatOpener opener);
    void SetEndProgram(std::function<void()> end);
    void SetMenuShower(MenuShower shower);  // nullptr restores the real pop-up

    // The chat window reports Closed: drop it and offer the lobby again.
    void ChatClosed();

    // When the next log-on after a lost link is due; tests set its clock.
    ReconnectPolicy& Reconnect() { return reconnect_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void LayOut();
    VantorBtn* Button(const QString& name, const QString& word, bool enabled);

    void LogInBtnClick();
    void LogOnClick();
    void ConnectAndLogOn();
    void LogOffClick();
    void ResetConnection();
    void QuitSession();
    void WOL_LogOnResult(LogOnResult result);
    void WOL_Error(ErrorCode code);
    void ShowBox(BoxIcon icon, const QString& title, const QString& text);

    // A lost main connection and the way back (vantor_chat_ui_link.cpp).
    void KeepLinkAlive();
    void MainLinkClosed();
    void LinkLost();
    void ReconnectTick();
    void ReconnectFailed();
    void ShowReconnectWait();
    bool ReconnectError(ErrorCode code);         // true when the error belongs to the way back
    bool ReconnectAnswered(LogOnResult result);  // true when this log-on was a reconnect
    void LinkRestored();
    void TellWindows(bool down);

    void BuildBuddyMenu();
    void WOL_BuddyListResult(const std::string& list, int result);
    void FillBuddyList(const std::string& list);
    void SetupColumns(bool allServers);
    void ClearBuddyList();
    void RefreshLocations();
    void RefreshSelectedClick();
    void BudCheckCB_Callback(const std::string& line, Delivery kind, const Param& param);
    void StopSearch();
    void FinishSearch();
    void RefBuddy_Timer();
    QTreeWidgetItem* SelectedBuddy() const;
    void PageBudClick();
    void ReDownloadClick();
    void ShowBuddyMenu(QTreeWidgetItem* row, const QPoint& globalPos);

    // Adding, deleting and reordering buddies (vantor_chat_ui_edits.cpp).
    void AddBudClick();
    void AddBudUI_Finished();
    void AddBuddy(const QString& typed);
    void DelBudClick();
    void ReOrdBudClick();
    void ReordUI_Finished();
    std::vector<std::string> RestoreAtLogOn(const std::vector<std::string>& downloaded);
    void ShowRestored(const std::vector<std::string>& nicks);

    void AboutClick();
    void OptionsClick();
    void ChatClick();
    // The one teardown of the chat window: forget it, close it, then release it.
    enum class ChatRelease { Now, Later };
    void CloseChat(ChatRelease release);
    void EndRun();

    // What the location search shows and asks of this window.
    void ShowLocation(int row, int column, const std::string& location) override;
    void ShowProgress(int value, int max) override;
    void SetIdleTimer(bool running) override;
    void SetPollTimer(bool running) override;
    void SearchEnded(const SearchResult& result) override;
    void RowRefreshed(int row, const std::string& location) override;

    std::unique_ptr<WOLCon> wol_;
    WolInfo credentials_;
    std::shared_ptr<Callback> budCheckCB_;
    LocationSearch search_;                   // owns the temporary sessions (TempSessions)
    std::unique_ptr<HostLookup> hostLookup_;  // the server's address, once per log-on
    StallMeter* stallMeter_ = nullptr;
    ReconnectPolicy reconnect_;
    BuddyWatch buddyWatch_;  // where buddies were, for alerts when they move

    bool childOpen_ = false;
    QPointer<QWidget> childDialog_;
    QPointer<AboutUI> abtUI_;
    QPointer<AddBuddyUI> addBudUI_;
    QPointer<ReOrderUI> reordUI_;
    // Buddies a reorder took off and has not seen added again; mended at the next log-on.
    std::unique_ptr<BuddyRestore> restore_;
    bool restoreDue_ = false;  // set by a log-on, spent by the list that follows it
    QPointer<QWidget> cht_;

    InPass inPass_;
    bool quitting_ = false;  // errors of our own Quit on a dead link are expected, not news
    bool ending_ = false;

    LogOnPrompt logOnPrompt_;
    ChatOpener chatOpener_;
    std::unique_ptr<MessageBoxes> ownBoxes_;
    MessageBoxes* boxes_ = nullptr;
    std::function<void()> endProgram_;
    MenuShower menuShower_;
    int refreshMinutes_ = 0;
    double searchStart_ = 0;
    double searchEnd_ = 0;
    std::int32_t serverIndex_ = 0;  // the server of the current log-on
    Liveness listFill_;  // renewed by each clearing, so a filling interrupted by one stops

    PictureBox* bgImage_ = nullptr;
    PictureBox* titlePic_ = nullptr;
    QLabel* label_ = nullptr;
    QLabel* logAs_ = nullptr;
    QLabel* status_ = nullptr;
    QTreeWidget* buddyList_ = nullptr;
    ProgBar* progBar_ = nullptr;
    VantorBtn* logInBtn_ = nullptr;
    QElapsedTimer logInWordSince_;  // a double click's second half must not undo its first
    VantorBtn* chatBtn_ = nullptr;
    VantorBtn* aboutBtn_ = nullptr;
    VantorBtn* quit_ = nullptr;
    VantorBtn* options_ = nullptr;
    VantorBtn* pageBud_ = nullptr;
    VantorBtn* addBud_ = nullptr;
    VantorBtn* delBud_ = nullptr;
    VantorBtn* refreshBud_ = nullptr;
    VantorBtn* reOrdBud_ = nullptr;
    QTimer* buffTimer_ = nullptr;
    QTimer* refBuddy_ = nullptr;
    QTimer* searchTimer_ = nullptr;
    QTimer* searchPoll_ = nullptr;

    QMenu* buddyMnu_ = nullptr;
    QAction* buddyMnuPage_ = nullptr;
    QAction* buddyMnuDel_ = nullptr;
    QAction* buddyMnuRefUsr_ = nullptr;
    QAction* buddyMnuReOrd_ = nullptr;
    QAction* buddyMnuRef_ = nullptr;
    QAction* buddyMnuReDL_ = nullptr;
};

// The window title: the product and its version, plus " - " and the status when there is one.
QString MainCaption(const QString& status);

// The status after a completed location search, from its start and end as seconds since
// midnight; an end before the start has passed midnight.
QString SearchCompletedText(double start, double end);

}  // namespace vantor
