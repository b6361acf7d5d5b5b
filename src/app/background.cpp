// SPDX-License-Identifier: MIT
#include "app/background.h"

#include <QLabel>

#include "settings/setting_ui.h"

namespace vantor {

QPixmap SharedBackgroundPicture() {
    if (SettingUI* ui = SettingUI::Instance()) return ui->BGImg();
    return SettingUI::SharedBackground();
}

QPixmap SharedTitlePicture() {
    if (SettingUI* ui = SettingUI::Instance()) return ui->TITLEBGImg();
    return SettingUI::SharedTitle();
}

QLabel* MakeBackground(QWidget* window, const QPixmap& picture) {
    auto* label = new QLabel(window);
    label->setObjectName(QStringLiteral("BGImage"));
    label->setPixmap(picture);
    label->setScaledContents(true);
    label->setAccessibleName(QStringLiteral("Background"));
    label->setGeometry(window->rect());
    label->lower();
    return label;
}

}  // namespace vantor
