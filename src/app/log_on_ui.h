// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

namespace vantor {

class VantorBtn;

// Asks for nickname and password. Any way of closing it other than LogOnBtn counts as Cancel.
class LogOnUI : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMaxNick = 9;
    static constexpr int kMaxPass = 8;

    explicit LogOnUI(QWidget* parent = nullptr);

    bool Canceled() const { return canceled_; }
    QString Nick() const { return nick_; }
    void SetNick(const QString& nick);  // an empty value is ignored
    QString Pass() const { return pass_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void UpdateLogOnBtn();
    void FocusPassword();
    void LogOnClick();
    void CancelClick();

    QLineEdit* nickName_;
    QLineEdit* passBox_;
    VantorBtn* logOnBtn_;
    bool canceled_ = false;
    QString nick_;
    QString pass_;
};

}  // namespace vantor
