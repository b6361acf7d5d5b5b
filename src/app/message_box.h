// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QWidget;

namespace vantor {

enum class BoxIcon { Exclamation, Critical };

// The one place where the main window's failures become message boxes; tests record instead.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void Show(QWidget* parent, BoxIcon icon, const QString& title, const QString& text) = 0;
};

// Modal QMessageBox with an OK button.
class QtMessageBoxes : public MessageBoxes {
public:
    void Show(QWidget* parent, BoxIcon icon, const QString& title, const QString& text) override;
};

}  // namespace vantor
