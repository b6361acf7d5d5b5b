// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QUrl>
#include <functional>
#include <vector>

#include "settings/setting_names.h"

class QCheckBox;
class QKeyEvent;
class QLabel;
class QPushButton;

namespace vantor {

class VantorBtn;

// The settings beyond the classic client, each as a control a person understands, opened from
// the options window. It reads the store when it opens, OK writes every value through the
// settings facade, CANCEL and Escape write nothing.
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

    void BuildControls();
    QCheckBox* AddChoice(const LongSetting& setting, const QString& name, const QString& text);
    void OpenFolder();
    void OnOk();

    std::vector<Choice> choices_;
    QLabel* logFolder_ = nullptr;
    QPushButton* openFolder_ = nullptr;
    VantorBtn* okBtn_ = nullptr;
    VantorBtn* cancelBtn_ = nullptr;
};

}  // namespace vantor
