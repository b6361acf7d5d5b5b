// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QPixmap>

#include "settings/settings_source.h"

namespace vantor {

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

    // Implementation details follow in the real header.
};

}  // namespace vantor
