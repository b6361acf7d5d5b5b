// SPDX-License-Identifier: MIT
#include "controls/attention.h"

#include <QWidget>

namespace vantor {

namespace {
Attention* installed = nullptr;
}  // namespace

void SetAttention(Attention* attention) {
    installed = attention;
}

void NoteUnread(QWidget* window) {
    if (installed != nullptr && !window->isActiveWindow()) installed->Unread(window);
}

void NoteMessage(QWidget* window, const QString& sender, const QString& text) {
    if (installed != nullptr && !window->isActiveWindow()) installed->Message(window, sender, text);
}

void NoteAlert(QWidget* window, const QString& summary, const QString& body) {
    if (installed != nullptr) installed->Alert(window, summary, body);
}

}  // namespace vantor
