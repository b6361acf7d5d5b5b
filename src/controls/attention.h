// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace vantor {

// Where windows report what arrived while the user was looking elsewhere; the program installs
// one (desktop notifications, the tray), tests install a fake. Without one, nothing happens.
class Attention {
public:
    virtual ~Attention() = default;
    // A line was added to `window` while it was not the active window.
    virtual void Unread(QWidget* window) = 0;
    // A message meant for the user (a page, a private lobby message) arrived in `window` while
    // it was not the active window.
    virtual void Message(QWidget* window, const QString& sender, const QString& text) = 0;
    // News the user asked for (a buddy moved); showing it offers `window`.
    virtual void Alert(QWidget* window, const QString& summary, const QString& body) = 0;
};

void SetAttention(Attention* attention);  // not owned; nullptr removes it

// Hears, besides the installed Attention, of every message NoteMessage passes on: the page chime.
// An empty function removes it.
void SetMessageChime(std::function<void(const QString& sender)> chime);

// What the windows call as a line arrives; both do nothing while `window` is active.
void NoteUnread(QWidget* window);
void NoteMessage(QWidget* window, const QString& sender, const QString& text);
void NoteAlert(QWidget* window, const QString& summary, const QString& body);

}  // namespace vantor
