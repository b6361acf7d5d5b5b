// SPDX-License-Identifier: MIT
#include "diagnostics/debug_ui.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QTimer>
#include <QVBoxLayout>
#include <optional>
#include <string>

#include "common/qt_text.h"

namespace vantor {

namespace {

std::optional<QColor> KindColour(int kind) {
    switch (kind) {
        case kLogError:
            return QColor(150, 0, 0);
        case kLogNote:
            return QColor(0, 150, 0);
        case kLogSent:
            return QColor(50, 50, 150);
        case kLogHandled:
            return QColor(150, 0, 150);
        case kLogReplyStart:
        case kLogReplyEnd:
            return QColor(0, 150, 150);
        case kLogIntercepted:
            return QColor(150, 150, 0);
        case kLogUnhandled:
            return QColor(0, 0, 0);
        default:
            return std::nullopt;
    }
}

qsizetype LengthOf(const QTextDocument* doc) {
    // characterCount() holds one separator per block, the last one not part of the text.
    return doc->characterCount() - 1 + (doc->blockCount() - 1);
}

// Drops the oldest lines: everything up to and including the first line break that starts at
// or after the 1-based position `from` (line breaks counted as two characters), or only the
// first character when there is no such break.
void DropOldest(QTextDocument* doc, qsizetype from) {
    if (doc->characterCount() <= 1) return;
    qsizetype cut = 1;
    for (QTextBlock b = doc->begin(); b.isValid() && b.next().isValid(); b = b.next()) {
        const qsizetype separator = b.position() + b.length() - 1;
        if (separator + b.blockNumber() + 1 >= from) {
            cut = separator + 1;
            break;
        }
    }
    QTextCursor del(doc);
    del.setPosition(0);
    del.setPosition(static_cast<int>(cut), QTextCursor::KeepAnchor);
    del.removeSelectedText();
}

}  // namespace

void DisableControl(QWidget* control) {
    if (control != nullptr) control->setEnabled(false);
    QCoreApplication::processEvents();
}

void EnableControl(QWidget* control) {
    if (control != nullptr) control->setEnabled(true);
    QCoreApplication::processEvents();
}

void InstallDebugWindowFactory() {
    SetDebugWindowFactory(
        []() -> std::unique_ptr<DebugWindow> { return std::make_unique<DebugUI>(); });
}

DebugUI::DebugUI(QWidget* parent) : QWidget(parent), debugWin_(new QTextEdit(this)) {
    setObjectName(QStringLiteral("DebugUI"));
    setWindowTitle(QStringLiteral("Debug Log"));
    debugWin_->setObjectName(QStringLiteral("DebugWin"));
    debugWin_->setAccessibleName(QStringLiteral("Debug log"));
    debugWin_->setReadOnly(true);
    // The box only ever grows at the end and drops its head; an undo history would keep both.
    debugWin_->setUndoRedoEnabled(false);
    debugWin_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // The box covers the whole window: no frame, and no window background to paint under it.
    debugWin_->setFrameShape(QFrame::NoFrame);
    setAttribute(Qt::WA_OpaquePaintEvent);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(debugWin_);
    showTimer_ = new QTimer(this);
    showTimer_->setSingleShot(true);
    connect(showTimer_, &QTimer::timeout, this, &DebugUI::ShowNewText);
    PlaceOnScreen();
}

DebugUI::~DebugUI() = default;

void DebugUI::ShowNewText() {
    debugWin_->setUpdatesEnabled(true);
    lastShown_.start();
}

void DebugUI::PlaceOnScreen() {
    move(0, 0);
    QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (s == nullptr) return;
    const QRect area = s->availableGeometry();
    resize(area.width(), qMax(200, area.height() / 3));
}

qsizetype DebugUI::TextLength() const {
    return LengthOf(debugWin_->document());
}

void DebugUI::AddDebug(const Tag& tag, std::string_view message, int kind) {
    if (message.ends_with("\r\n")) message.remove_suffix(2);
    const QString text = FromWire(message);
    // Taken before events run: a handler may destroy the connection that owns the tag.
    const QString prefix = TagIsBlank(tag) ? QString() : FromWire("#" + TagText(tag) + "-");

    // Event handlers run inside Disable/EnableControl and may append entries themselves, so
    // every step below reads the box afresh.
    QPointer<QTextEdit> box = debugWin_;
    box->setUpdatesEnabled(false);
    DisableControl(box);
    if (box.isNull()) return;

    QTextDocument* doc = box->document();
    if (LengthOf(doc) + text.size() > kMaxChars) DropOldest(doc, text.size() + 100);

    QTextCursor cursor = box->textCursor();
    cursor.clearSelection();
    cursor.movePosition(QTextCursor::End);
    if (!prefix.isEmpty()) {
        QTextCharFormat prefixFormat = cursor.charFormat();
        prefixFormat.setForeground(QColor(100, 100, 0));
        cursor.insertText(prefix, prefixFormat);
        cursor.movePosition(QTextCursor::End);
    }
    // An unknown kind keeps the colour of whatever was inserted last.
    QTextCharFormat format = cursor.charFormat();
    if (auto colour = KindColour(kind)) format.setForeground(*colour);
    const int firstNew = cursor.blockNumber();
    cursor.insertText(QStringLiteral("\r\n") + text, format);
    // Keep the shaped glyphs of new lines: every append repaints the visible lines, and shaping
    // them again each time costs more than the rest of the append.
    for (QTextBlock b = doc->findBlockByNumber(firstNew); b.isValid(); b = b.next())
        b.layout()->setCacheEnabled(true);
    box->setTextCursor(cursor);

    EnableControl(box);
    if (box.isNull()) return;  // the window went away while events ran
    if (!lastShown_.isValid() || lastShown_.elapsed() >= kShowEveryMs) {
        ShowNewText();
    } else if (!showTimer_->isActive()) {
        showTimer_->start(kShowEveryMs - static_cast<int>(lastShown_.elapsed()));
    }
    QCoreApplication::processEvents();
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
    hide();
    debugWin_->clear();
    PlaceOnScreen();
}

}  // namespace vantor
