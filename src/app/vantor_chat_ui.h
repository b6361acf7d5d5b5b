// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "app/stall_meter.h"
#include "controls/message_box.h"
#include "session/main_session.h"

class QAction;
class QLabel;
class QMenu;
class QPoint;
class QTimer;
class QTreeWidget;

namespace vantor {

class AboutUI;
class AddBuddyUI;
class BuddyTree;
class BuddyRestore;
class PictureBox;
class ProgBar;
class ReOrderUI;
class ReorderLink;
class VantorBtn;

// What the log-on dialog answered.
struct LogOnAnswer {
    bool canceled = true;
    QString nick;
    QString pass;
};

// The main window: draws what its MainSession says (labels, buttons, the buddy list, the search's
// progress), forwards clicks and timer ticks to it, and opens the child windows. One instance for
// the whole run; closing it ends the program. Its controls are built in
// vantor_chat_ui_layout.cpp, the buddy list is drawn in vantor_chat_ui_buddies.cpp, the buddy
// edits are in vantor_chat_ui_edits.cpp and what a lost link means for the other windows in
// vantor_chat_ui_link.cpp.
class VantorChatUI : public QWidget, private MainView {
    Q_OBJECT

public:
    static constexpr int kTwipsPerPixel = 15;

    explicit VantorChatUI(QWidget* parent = nullptr);
    ~VantorChatUI() override;

    MainSession& Session() { return session_; }
    WOLCon& WOL() { return session_.WOL(); }
    WolInfo& Credentials() { return session_.Credentials(); }

    void SetStatus(const QString& text);
    void BeginChildDialog(QWidget* window);
    void EndChildDialog();
    bool ChildOpen() const { return childOpen_; }
    QWidget* Cht() const { return cht_; }
    AddBuddyUI* AddBudUI() const;  // the open add-buddy dialog, or none
    ReOrderUI* ReordUI() const;    // the open reorder dialog, or none

    // One receive pass of the main session (the BuffTimer tick).
    void PumpSessions();

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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class RunBoxes;

    void BuildControls();
    void BuildBuddyMenu();
    void LayOut();
    VantorBtn* Button(const QString& name, const QString& word, bool enabled);
    void DrawColumns();
    void DrawStatus();
    int StatusWidth() const;

    void LogInBtnClick();
    void LogOnClick();
    void ShowBox(BoxIcon icon, const QString& title, const QString& text);

    // The buddy list's commands on the selected row (vantor_chat_ui_buddies.cpp).
    int SelectedRow() const;  // 1-based, 0 without a selection
    void PageBudClick();
    void RefreshSelectedClick();
    void ShowBuddyMenu(int row, const QPoint& globalPos);
    void DrawJoinItem(const BuddyRow& buddy);
    void JoinBuddyLobby();  // into the lobby of the buddy the menu was shown for
    void ChooseViewOrder(BuddySort sort, bool hideOffline);

    // Adding, deleting and reordering buddies (vantor_chat_ui_edits.cpp).
    void AddBudClick();
    void AddBudUI_Finished();
    void DelBudClick();
    void ReOrdBudClick();
    void ReordUI_Finished();

    void AboutClick();
    void OptionsClick();
    void ChatClick();
    // The one teardown of the chat window: forget it, close it, then release it.
    enum class ChatRelease { Now, Later };
    void CloseChat(ChatRelease release);
    void TellWindows(bool down);
    void EndRun();

    // What the session shows and asks of this window.
    void ShowLogAs(const std::string& text) override;
    void ShowStatus(const std::string& text) override;
    void ShowControls(const MainControls& controls) override;
    void ShowProgress(int value, int max) override;
    void ShowList(const ListChange& change) override;
    void SetTimer(MainTimer timer, bool running) override;
    void Later(int ms, std::function<void()> step) override;
    void Tell(const Told& told) override;
    void ShowMotd(const std::string& news) override;
    void BuddyMoved(const std::string& nick, const std::string& news) override;
    void LinkChanged(bool down) override;
    void LoggingOff() override;
    void AskLogOn() override;
    bool TellReorder(std::optional<ErrorCode> error) override;
    void Waiting(bool waiting) override;

    MainSession session_;
    // Buddies a reorder took off and has not seen added again; mended at the next log-on.
    std::unique_ptr<BuddyRestore> restore_;
    std::unique_ptr<ReorderLink> reorderLink_;  // the reorder's way to the session
    std::unique_ptr<MessageBoxes> runBoxes_;    // the boxes of the child windows
    StallMeter* stallMeter_ = nullptr;
    std::unique_ptr<StallMeter::Scope> waitScope_;  // around the connect that waits

    bool childOpen_ = false;
    QPointer<QWidget> childDialog_;
    QPointer<AboutUI> abtUI_;
    QPointer<AddBuddyUI> addBudUI_;
    QPointer<ReOrderUI> reordUI_;
    QPointer<QWidget> cht_;

    LogOnPrompt logOnPrompt_;
    ChatOpener chatOpener_;
    MessageBoxes* boxes_ = nullptr;
    std::function<void()> endProgram_;
    MenuShower menuShower_;
    QString status_;                   // as the session last said it; drawn to fit its line
    bool elide_ = true;                // "ElideStatus", read when the status changes
    LogInWord word_ = LogInWord::Log;  // the log-in button's word as drawn
    int progMax_ = 0;                  // the progress bar's maximum as drawn

    PictureBox* bgImage_ = nullptr;
    PictureBox* titlePic_ = nullptr;
    QLabel* label_ = nullptr;
    QLabel* logAs_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QTreeWidget* buddyList_ = nullptr;
    std::unique_ptr<BuddyTree> tree_;  // draws the roster's rows into buddyList_
    int joinLobby_ = -1;               // the lobby the menu's Join item goes to
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
    QAction* buddyMnuJoin_ = nullptr;
    QAction* buddyMnuSortService_ = nullptr;
    QAction* buddyMnuSortOnline_ = nullptr;
    QAction* buddyMnuSortName_ = nullptr;
    QAction* buddyMnuHideOffline_ = nullptr;
};

// The window title: the product and its version, plus " - " and the status when there is one.
QString MainCaption(const QString& status);

// The log-in button's word, as the button and the tray menu read it.
QString LogInText(LogInWord word);

}  // namespace vantor
