// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QIcon>
#include <QPixmap>

#include "settings/held_settings.h"
#include "settings/settings_source.h"

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QSlider;

namespace vantor {

class VantorBtn;

// The options window and the holder of the working copy of seven settings. One instance for the
// whole run, loaded hidden at start-up; it answers SettingString/SettingLong for the whole program
// and carries the shared background pictures that other windows copy when they load.
class SettingUI : public QDialog, public SettingsSource {
    Q_OBJECT

public:
    explicit SettingUI(QWidget* parent = nullptr);  // loads: reads and clamps the held values
    ~SettingUI() override;

    std::string SettingString(std::string_view name, std::string_view defaultValue) override;
    std::int32_t SettingLong(std::string_view name, std::int32_t defaultValue) override;

    QPixmap BGImg() const;
    QPixmap TITLEBGImg() const;

    // The running instance, or nullptr (tests of other windows run without one).
    static SettingUI* Instance();

    // Background and banner for windows that load while no instance exists.
    static QPixmap SharedBackground();
    static QPixmap SharedTitle();
    // Fills a window's client area with the shared background, as every window shows it.
    static void ApplyBackground(QWidget* window);
    // The program's window icon.
    static QIcon WindowIcon();

    // Escape and the frame's close box end up here: hide and put the held values back.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    void ShowHeldValues();
    void ApplyAutoRefreshLook(bool ticked);
    void ValidateInterval();
    bool FilterIntervalKey(QKeyEvent* event);
    void OnOk();

    HeldSettings held_;
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
};

}  // namespace vantor
