// SPDX-License-Identifier: MIT
#include "controls/attention.h"

#include <QWidget>

namespace vantor {

namespace {
Attention* installed = nullptr;
std::function<void(const QString&)> g_chime;
}  // namespace

void SetAttention(Attention* attention) {
    installed = attention;
}

void NoteUnread(QWidget* window) {
    if (installed != nullptr && !window->isActiveWindow()) installed->Unread(window);
}

void SetMessageChime(std::function<void(const QString& sender)> chime) {
    g_chime = std::move(chime);
}

void NoteMessage(QWidget* window, const QString& sender, const QString& text) {
    if (window->isActiveWindow()) return;
    if (installed != nullptr) installed->Message(window, sender, text);
    // A copy: the chime may be replaced from inside the call.
    if (const auto chime = g_chime) chime(sender);
}

void NoteAlert(QWidget* window, const QString& summary, const QString& body) {
    if (installed != nullptr) installed->Alert(window, summary, body);
}

}  // namespace vantor
