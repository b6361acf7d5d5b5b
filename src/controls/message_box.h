// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QWidget;

namespace vantor {

enum class BoxIcon { Exclamation, Critical, Information };

// The one way a window shows a message box (the main window's failures, the reorder's outcome);
// tests record instead of showing.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void Show(QWidget* parent, BoxIcon icon, const QString& title, const QString& text) = 0;
    // A question with the exclamation icon and Yes and No buttons; true for Yes.
    virtual bool Ask(QWidget* parent, const QString& title, const QString& text) = 0;
};

// Modal QMessageBox with an OK button, or Yes and No for a question.
class QtMessageBoxes : public MessageBoxes {
public:
    void Show(QWidget* parent, BoxIcon icon, const QString& title, const QString& text) override;
    bool Ask(QWidget* parent, const QString& title, const QString& text) override;
};

// The real boxes, for a window that was given none.
MessageBoxes& ModalBoxes();

}  // namespace vantor
