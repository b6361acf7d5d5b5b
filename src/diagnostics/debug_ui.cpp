// SPDX-License-Identifier: MIT
#include "diagnostics/debug_ui.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <optional>
#include <string>

#include "common/qt_text.h"
#include "controls/find_bar.h"
#include "controls/history_view.h"
#include "controls/theme.h"

namespace vantor {

namespace {

std::optional<QColor> KindColour(int kind) {
    switch (kind) {
        case kLogError:
            return theme::kLogErrorText;
        case kLogNote:
            return theme::kLogNoteText;
        case kLogSent:
            return theme::kLogSentText;
        case kLogHandled:
            return theme::kLogHandledText;
        case kLogReplyStart:
        case kLogReplyEnd:
            return theme::kLogReplyText;
        case kLogIntercepted:
            return theme::kLogInterceptedText;
        case kLogUnhandled:
            return theme::kLogUnhandledText;
        default:
            return std::nullopt;
    }
}

}  // namespace

void InstallDebugWindowFactory() {
    SetDebugWindowFactory(
        []() -> std::unique_ptr<DebugWindow> { return std::make_unique<DebugUI>(); });
}

static_assert(kDebugHistory.cap == std::size_t(DebugUI::kMaxChars));

DebugUI::DebugUI(QWidget* parent)
    : QWidget(parent),
      debugWin_(new HistoryView(kDebugHistory, this)),
      findBar_(new FindBar(debugWin_, this)) {
    setObjectName(QStringLiteral("DebugUI"));
    setWindowTitle(QStringLiteral("Debug Log"));
    debugWin_->setObjectName(QStringLiteral("DebugWin"));
    debugWin_->setAccessibleName(QStringLiteral("Debug log"));
    debugWin_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    debugWin_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // The box covers the whole window: no frame, and no window background to paint under it.
    debugWin_->setFrameShape(QFrame::NoFrame);
    setAttribute(Qt::WA_OpaquePaintEvent);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(debugWin_);
    PlaceOnScreen();
}

DebugUI::~DebugUI() = default;

void DebugUI::PlaceOnScreen() {
    move(0, 0);
    QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (s == nullptr) return;
    const QRect area = s->availableGeometry();
    resize(area.width(), qMax(200, area.height() / 3));
}

qsizetype DebugUI::TextLength() const {
    return qsizetype(debugWin_->Length());
}

void DebugUI::AddDebug(const Tag& tag, std::string_view message, int kind) {
    if (message.ends_with("\r\n")) message.remove_suffix(2);
    // Converted before events run: a handler may destroy the connection that owns the tag.
    // Only the display is cut: a line of 200 KB would hold the window up for seconds.
    HistoryEntry entry{.body = CutForDisplay(FromWire(message)), .colour = KindColour(kind)};
    if (!TagIsBlank(tag)) {
        // Ends the previous line: the message follows on a line of its own.
        std::string lead = "#";
        lead.append(TagText(tag)).append("-");
        entry.lead = FromWire(lead);
        entry.leadColour = theme::kLogTagText;
    }
    debugWin_->Append(std::move(entry));
}

void DebugUI::ShowWindow() {
    show();
}

void DebugUI::ShutDown() {
    shuttingDown_ = true;
}

void DebugUI::closeEvent(QCloseEvent* event) {
    if (shuttingDown_) {
        event->accept();
        return;
    }
    // The log still holds this window: hide it, start again empty and placed as when loaded.
    event->ignore();
    findBar_->CloseBar();
    hide();
    debugWin_->clear();
    PlaceOnScreen();
}

}  // namespace vantor
