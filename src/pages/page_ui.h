// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <memory>

#include "pages/page_window.h"

class QLineEdit;

namespace vantor {

class ConversationLog;
class HistoryView;
class SendBoxKeys;
class VantorBtn;

// The window of one page conversation: a coloured history, a line to type, a SEND button and
// the IGNORE button beside it, which reads UNIGNORE while the peer is ignored. It knows nothing
// of the network: it raises SendMsg for each line sent, IgnoreClick for the button and Closing
// once when it goes away, whatever the reason.
class PageUI : public QWidget, public PageWindow {
    Q_OBJECT

public:
    static constexpr int kHistoryCap = 10000;           // characters, a line break counted as CR LF
    static constexpr std::size_t kEarlierEntries = 20;  // of the log, shown when the window opens
    static constexpr QStringView kEarlierHeading = u"Earlier conversation:";

    explicit PageUI(QWidget* parent = nullptr);  // loads: reads the colours
    ~PageUI() override;

    void SetFrom(const std::string& nick) override;
    void SetUser(const std::string& nick) override;
    void FocusSendBox() override;
    void Received(const std::string& text) override;
    void Notify(const std::string& text) override;
    void ShowWindow() override;
    void Activate() override;
    void Close() override;
    void RequestAttention() override;
    void ShowIgnored(bool ignored) override;
    void Dispose() override;

    // Appends one entry: 0 sent, 1 received, -1 notice, anything else in the colour last used.
    // Lets pending window events run; an entry added meanwhile follows this one. The window may
    // be gone when it returns.
    void AddHistory(int kind, const QString& text);

    // The history as its length is counted: the entries, each after a CR LF.
    QString HistoryText() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void SendBtn_Click();
    void RaiseClosing();
    void Relayout();
    void OpenLog();

    HistoryView* PageHistory;
    QLineEdit* SendBox;
    VantorBtn* SendBtn;
    VantorBtn* IgnoreBtn;
    bool ignoreButton_ = true;  // shown beside SEND ("PageIgnoreButton")
    SendBoxKeys* keys_;

    QString from_;
    QString user_;
    std::string fromWire_;
    std::string userWire_;
    bool ignored_ = false;
    bool logging_ = false;
    std::unique_ptr<ConversationLog> log_;  // none until both nicknames are known
    QColor colourIn_;
    QColor colourOut_;
    QColor colourNotify_;
    QColor colour_;  // the insertion colour; kinds without a colour of their own keep it
    QPixmap background_;
    bool closingRaised_ = false;
    bool destroying_ = false;
};

// Makes page conversations open PageUI windows.
void InstallPageWindowFactory();

}  // namespace vantor
