// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QUrl>
#include <functional>
#include <vector>

#include "pages/ignore_list.h"
#include "settings/setting_names.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QVBoxLayout;

namespace vantor {

class VantorBtn;

// The settings beyond the classic client, each as a control a person understands, opened from
// the options window. It reads the store (and the program's ignore list) when it opens, OK
// writes every value through the settings facade and the list through the program's, CANCEL and
// Escape write nothing.
class MoreOptionsUI : public QDialog {
    Q_OBJECT

public:
    explicit MoreOptionsUI(QWidget* parent = nullptr);

    // How "Open folder" shows a folder: the desktop's file manager unless a test says otherwise.
    using FolderOpener = std::function<bool(const QUrl& folder)>;
    static void SetFolderOpener(FolderOpener opener);  // empty: the desktop's again

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Choice {
        LongSetting setting;
        QCheckBox* box;
    };
    struct Number {
        LongSetting setting;
        QSpinBox* box;
    };

    void BuildControls();
    void BuildIgnoreList(QVBoxLayout* body);
    void BuildBuddyList(QVBoxLayout* body);
    QCheckBox* AddChoice(const LongSetting& setting, const QString& name, const QString& text);
    // A labelled number from 0 to `most` at `row` of `grid`; `zero` says what 0 means.
    void AddNumber(QGridLayout* grid, int row, const LongSetting& setting, const QString& name,
                   const QString& text, const QString& unit, const QString& zero, int most);
    void OpenFolder();
    void AddIgnored();     // the names typed in the field
    void RemoveIgnored();  // the names chosen in the list
    void DrawIgnored();
    void OnOk();

    std::vector<Choice> choices_;
    std::vector<Number> numbers_;
    IgnoreList ignored_;            // the list being edited, in memory until OK
    QComboBox* sortBox_ = nullptr;  // "BuddySort"
    QLabel* logFolder_ = nullptr;
    QPushButton* openFolder_ = nullptr;
    QListWidget* ignoreNames_ = nullptr;
    QLineEdit* ignoreName_ = nullptr;
    QPushButton* addIgnored_ = nullptr;
    QPushButton* removeIgnored_ = nullptr;
    QLabel* ignoreRefused_ = nullptr;
    VantorBtn* okBtn_ = nullptr;
    VantorBtn* cancelBtn_ = nullptr;
};

}  // namespace vantor
