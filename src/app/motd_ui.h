// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QString>

class QTextEdit;

namespace vantor {

// The message of the day, shown non-modally after log-on; it deletes itself when dismissed.
class MOTDUI : public QDialog {
    Q_OBJECT
    Q_PROPERTY(QString MOTD READ MOTD WRITE SetMOTD)

public:
    explicit MOTDUI(QWidget* parent = nullptr);

    QString MOTD() const;
    void SetMOTD(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTextEdit* text_;
    QString motd_;
};

}  // namespace vantor
