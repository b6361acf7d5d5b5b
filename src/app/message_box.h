// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QWidget;

namespace vantor {

enum class BoxIcon { Exclamation, Critical, Information };

// The one place where the main window's failures become message boxes; tests record instead.
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

}  // namespace vantor
