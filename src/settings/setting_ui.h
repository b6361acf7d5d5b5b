// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QPixmap>

#include "settings/held_settings.h"

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace vantor {

class VantorBtn;

// The options window over the program's held settings: it shows their values, and OK commits
// what the user chose. One instance for the whole run, made hidden at start-up.
class SettingUI : public QDialog {
    Q_OBJECT

public:
    // Classic: the window's own controls only; the program adds the way to the More options
    // window after them.
    enum class Controls { Classic, WithMoreOptions };

    explicit SettingUI(HeldSettings& held, QWidget* parent = nullptr,
                       Controls controls = Controls::WithMoreOptions);
    ~SettingUI() override;

    // The running instance, or nullptr (tests of other windows run without one).
    static SettingUI* Instance();

    // Escape and the frame's close box end up here: hide and put the held values back.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls(Controls controls);
    void OpenMoreOptions();
    void ShowHeldValues();
    void ApplyAutoRefreshLook(bool ticked);
    void ValidateInterval();
    bool FilterIntervalKey(QKeyEvent* event);
    void OnOk();

    HeldSettings& held_;
    HeldSettings::WatchId watch_ = 0;
    QPixmap background_;
    QPixmap title_;
    QLabel* bgImg_ = nullptr;
    QLabel* titleImg_ = nullptr;
    QComboBox* serverLogin_ = nullptr;
    QCheckBox* showMotd_ = nullptr;
    QCheckBox* autoRefresh_ = nullptr;
    QLabel* intervalLabel_ = nullptr;
    QLineEdit* intval_ = nullptr;
    QComboBox* chatStart_ = nullptr;
    QCheckBox* enableSnd_ = nullptr;
    QSlider* sndVol_ = nullptr;
    VantorBtn* okBtn_ = nullptr;
    VantorBtn* cancelBtn_ = nullptr;
    QPushButton* moreOptions_ = nullptr;
};

}  // namespace vantor
