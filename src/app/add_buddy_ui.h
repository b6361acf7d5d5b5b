// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <optional>

class QLabel;
class QLineEdit;

namespace vantor {

class VantorBtn;

// Why a typed nickname cannot be added: one nickname on the wire has no blank, an empty one
// would send "ADDBUDDY " alone, and the wire cannot carry every character (wire_input.h).
enum class NickRefusal { None, Empty, Blank, Unsendable };
NickRefusal RefuseNickname(const QString& typed);

// What adding `typed` to a buddy list whose rows read `rows` sends: the nickname in lower case,
// or nothing when it is refused or a row already reads exactly that (case counts: a downloaded
// "Bob" does not stop "bob").
std::optional<QString> NicknameToAdd(const QString& typed, const QStringList& rows);

// "Add Buddy": asks for one nickname. Raises Finished once: after OK (the window stays until its
// owner releases it) or after CANCEL, Escape or the close box (Canceled true). OK is off while
// the nickname is refused; a blank gets a short explanation under the box.
class AddBuddyUI : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMaxNick = 9;

    explicit AddBuddyUI(QWidget* parent = nullptr);

    bool Canceled() const { return canceled_; }
    QString AddNick() const;  // the current text of BuddyText

signals:
    void Finished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void UpdateAddBtn();
    void AddClick();
    void CancelClick();
    void Finish();

    QLineEdit* BuddyText = nullptr;
    QLabel* Hint = nullptr;
    VantorBtn* AddBtn = nullptr;
    VantorBtn* CancelBtn = nullptr;
    bool canceled_ = false;
    bool finished_ = false;
};

}  // namespace vantor
