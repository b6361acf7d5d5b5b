// SPDX-License-Identifier: MIT
#include "pages/page_ui.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QShortcut>
#include <algorithm>

#include "common/liveness.h"
#include "common/qt_text.h"
#include "controls/attention.h"
#include "controls/find_bar.h"
#include "controls/history_view.h"
#include "controls/send_box_keys.h"
#include "controls/theme.h"
#include "controls/vantor_btn.h"
#include "pages/page_router.h"
#include "resources/art.h"
#include "session/conversation_log.h"
#include "settings/settings_source.h"

namespace vantor {

namespace {

// Fixed parts of the layout, in pixels (15 twips each).
constexpr int kMargin = 8;          // history top-left corner and send-box left edge
constexpr int kSendBoxHeight = 34;  // level with the button
constexpr int kInitialWidth = 460;
constexpr int kInitialHeight = 320;
constexpr int kButtonStep = 108;  // a button and the gap before the next

// Colour settings keep red in the low byte.
QColor FromColourSetting(std::int32_t value) {
    return ColourFromBgr(static_cast<std::uint32_t>(value));
}

int AtLeastOne(int value) {
    return std::max(1, value);
}

}  // namespace

static_assert(kPageHistory.cap == std::size_t(PageUI::kHistoryCap));

PageUI::PageUI(QWidget* parent)
    : QWidget(parent, Qt::Window),
      PageHistory(new HistoryView(kPageHistory, this)),
      SendBox(new QLineEdit(this)),
      SendBtn(new VantorBtn(QStringLiteral("SEND"), this)),
      IgnoreBtn(new VantorBtn(QStringLiteral("IGNORE"), this)),
      keys_(new SendBoxKeys(SendBox, [this] {
          QStringList names = LobbyUsers();
          names.push_back(from_);
          return names;
      })) {
    setObjectName(QStringLiteral("PageUI"));
    setAttribute(Qt::WA_QuitOnClose, false);  // the main window decides when the program ends

    PageHistory->setObjectName(QStringLiteral("PageHistory"));
    PageHistory->setAccessibleName(QStringLiteral("Conversation"));
    PageHistory->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    PageHistory->setStyleSheet(
        QStringLiteral("QTextEdit { background-color: %1; border: 1px solid %2; }")
            .arg(theme::kDarkRed.name(), theme::kDimOrange.name()));
    ThemeScrollBars(PageHistory);

    SendBox->setObjectName(QStringLiteral("SendBox"));
    SendBox->setAccessibleName(QStringLiteral("Message"));
    SendBox->setStyleSheet(
        QStringLiteral("QLineEdit { background-color: %1; color: %2; "
                       "border: 1px solid %3; padding: 0 4px; }")
            .arg(theme::kDarkRed.name(), theme::kOrange.name(), theme::kDimOrange.name()));

    SendBtn->setObjectName(QStringLiteral("SendBtn"));
    SendBtn->setAccessibleName(QStringLiteral("SEND"));

    IgnoreBtn->setObjectName(QStringLiteral("IgnoreBtn"));
    ignoreButton_ = Settings().Get(setting::kPageIgnoreButton) != 0;
    IgnoreBtn->setVisible(ignoreButton_);

    setTabOrder(SendBox, SendBtn);
    setTabOrder(SendBtn, IgnoreBtn);
    setTabOrder(IgnoreBtn, PageHistory);

    // No close button fits beside the send row without moving it: the keys close the window.
    auto* closeKeys = new QShortcut(QKeySequence::Close, this, this, &QWidget::close);
    closeKeys->setContext(Qt::WindowShortcut);

    connect(SendBtn, &VantorBtn::Click, this, &PageUI::SendBtn_Click);
    // The conversation decides; the word follows through ShowIgnored.
    connect(IgnoreBtn, &VantorBtn::Click, this, [this] { CallCopy(IgnoreClick); });
    // Enter (either key) acts as the button; a line edit never takes the line break itself.
    connect(SendBox, &QLineEdit::returnPressed, this, &PageUI::SendBtn_Click);

    SettingsSource& settings = Settings();
    colourIn_ = FromColourSetting(settings.Get(setting::kPageIn));
    colourOut_ = FromColourSetting(settings.Get(setting::kPageOut));
    colourNotify_ = FromColourSetting(settings.Get(setting::kPageNotify));
    colour_ = colourIn_;
    logging_ = settings.Get(setting::kLogConversations) != 0;
    new FindBar(PageHistory, this);

    background_ = art::SharedBackground();
    setWindowIcon(art::WindowIcon());

    resize(kInitialWidth, kInitialHeight);
    Relayout();
}

PageUI::~PageUI() {
    destroying_ = true;  // an owner letting go from inside Closing must not defer a second delete
    RaiseClosing();
}

void PageUI::SetFrom(const std::string& nick) {
    from_ = FromWire(nick);
    fromWire_ = nick;
    OpenLog();
    setWindowTitle(QStringLiteral("Paging \"") + from_ + QStringLiteral("\""));
    ShowIgnored(ignored_);  // the description names the peer
}

void PageUI::SetUser(const std::string& nick) {
    user_ = FromWire(nick);
    userWire_ = nick;
    OpenLog();
}

// Once both nicknames are known: the conversation's log, and its end shown first.
void PageUI::OpenLog() {
    if (!logging_ || log_ || fromWire_.empty() || userWire_.empty()) return;
    const auto file = LogPath(LogRoot(), userWire_, fromWire_);
    const auto earlier = ReadLogTail(file, kEarlierEntries);
    log_ = std::make_unique<ConversationLog>(file);
    if (earlier.empty()) return;
    QString text = kEarlierHeading.toString();
    for (const std::string& line : earlier) {
        text += u'\n';
        text += CutForDisplay(QString::fromUtf8(line));
    }
    PageHistory->Append({.body = text, .colour = theme::kEarlierText});
}

void PageUI::FocusSendBox() {
    SendBox->setFocus(Qt::OtherFocusReason);
}

void PageUI::Received(const std::string& text) {
    NoteMessage(this, from_, FromWire(text));
    AddHistory(1, from_ + QStringLiteral(": ") + FromWire(text));
}

void PageUI::Notify(const std::string& text) {
    AddHistory(-1, FromWire(text));
}

void PageUI::ShowWindow() {
    show();
}

void PageUI::Activate() {
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void PageUI::Close() {
    close();
    RaiseClosing();  // a window that was never shown may not see a close event
}

void PageUI::RequestAttention() {
    if (!isActiveWindow()) QApplication::alert(this);
}

void PageUI::ShowIgnored(bool ignored) {
    ignored_ = ignored;
    IgnoreBtn->SetBtnText(ignored ? QStringLiteral("UNIGNORE") : QStringLiteral("IGNORE"));
    IgnoreBtn->setAccessibleDescription((ignored ? QStringLiteral("Show pages from %1 again")
                                                 : QStringLiteral("Hide pages from %1"))
                                            .arg(from_));
}

void PageUI::Dispose() {
    if (destroying_) return;
    SendMsg = nullptr;
    Closing = nullptr;
    hide();
    deleteLater();  // the owner may be letting go from inside one of our own events
}

void PageUI::closeEvent(QCloseEvent* event) {
    event->accept();  // unloading cannot be cancelled
    RaiseClosing();
}

void PageUI::RaiseClosing() {
    if (closingRaised_) return;
    closingRaised_ = true;
    CallCopy(Closing);
}

void PageUI::SendBtn_Click() {
    const QString text = SendBox->text();
    if (text.isEmpty()) return;
    // Refused, and left in the box to be mended.
    if (!FitsWire(text)) {
        AddHistory(-1, kCannotSend.toString());
        return;
    }
    if (!PageFitsLine(ToWire(from_), ToWire(text))) {
        AddHistory(-1, QString::fromLatin1(kPageTooLong));
        return;
    }
    keys_->Sent(text);
    SendBox->clear();
    SendBox->setFocus(Qt::OtherFocusReason);
    // Taken now: the line has been sent as far as the user can tell, even if the window goes
    // away while the append lets events run.
    const auto sendMsg = SendMsg;
    AddHistory(0, user_ + QStringLiteral(": ") + text);
    CallCopy(sendMsg, ToWire(text));
}

void PageUI::AddHistory(int kind, const QString& text) {
    switch (kind) {
        case 0:
            colour_ = colourOut_;
            break;
        case 1:
            colour_ = colourIn_;
            break;
        case -1:
            colour_ = colourNotify_;
            break;
        default:
            break;
    }
    NoteUnread(this);
    // Kept whole in the log, before the append lets events run.
    if (log_) log_->Append(text.toUtf8().toStdString());
    PageHistory->Append({.body = CutForDisplay(OneLine(text)), .colour = colour_});
}

QString PageUI::HistoryText() const {
    QString text = PageHistory->toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

void PageUI::keyPressEvent(QKeyEvent* event) {
    // Escape reaches the window when no control took it (the find bar closes itself); a line
    // being typed is never thrown away with the window.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier &&
        SendBox->text().isEmpty()) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PageUI::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Relayout();
}

void PageUI::Relayout() {
    // In twips: history W-240 by H-810, send box at H-585 W-1830 wide, button at W-1605, H-585;
    // IGNORE, when shown, takes the SEND place at W-1605, and the send box and SEND give up its
    // width (1620) to it. Nothing smaller than 1.
    const int w = width();
    const int h = height();
    const int room = ignoreButton_ ? kButtonStep : 0;
    PageHistory->setGeometry(kMargin, kMargin, AtLeastOne(w - 16), AtLeastOne(h - 54));
    SendBox->setGeometry(kMargin, AtLeastOne(h - 39), AtLeastOne(w - 122 - room), kSendBoxHeight);
    SendBtn->move(AtLeastOne(w - 107 - room), AtLeastOne(h - 39));
    IgnoreBtn->move(AtLeastOne(w - 107), AtLeastOne(h - 39));
}

void PageUI::paintEvent(QPaintEvent* event) {
    if (background_.isNull()) {
        QWidget::paintEvent(event);
        return;
    }
    // Tiled at the picture's own scale, as the lobby shows it: stretched, the small tile came
    // out in coarse blocks, worst at 200 %.
    QPainter painter(this);
    painter.drawTiledPixmap(rect(), background_);
}

void InstallPageWindowFactory() {
    SetPageWindowFactory([] { return PageWindowPtr(new PageUI()); });
}

}  // namespace vantor
