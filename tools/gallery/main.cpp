// SPDX-License-Identifier: MIT
// Shows the artwork for a look by eye: "buttons" lays out every button word in its three states;
// "settings" shows the options window, "more" the More options window. Used by scripts/screenshots.
#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QWidget>
#include <cstdio>
#include <memory>

#include "controls/prog_bar.h"
#include "controls/theme.h"
#include "controls/vantor_btn.h"
#include "resources/art.h"
#include "settings/more_options_ui.h"
#include "settings/setting_ui.h"

namespace {

QWidget* Buttons() {
    auto* window = new QWidget;
    window->setObjectName(QStringLiteral("Gallery"));
    window->setWindowTitle(QStringLiteral("Buttons"));
    window->setAutoFillBackground(true);
    QPalette palette = window->palette();
    palette.setBrush(QPalette::Window, QBrush(vantor::art::SharedBackground()));
    palette.setColor(QPalette::WindowText, vantor::theme::kWhite);
    window->setPalette(palette);
    auto* grid = new QGridLayout(window);
    grid->setSpacing(6);
    const QStringList& words = vantor::art::ButtonWords();
    const int perColumn = (int(words.size()) + 1) / 2;
    for (int i = 0; i < words.size(); ++i) {
        const int row = i % perColumn;
        const int column = (i / perColumn) * 3;
        for (int state = 0; state < 3; ++state) {
            auto* button = new vantor::VantorBtn(words[i], window);
            if (state == 1) button->setDown(true);
            if (state == 2) button->SetEnabled(false);
            if (i == 0 && state == 0)
                button->setFocus(Qt::TabFocusReason);  // shows the focus mark once
            grid->addWidget(button, row, column + state);
        }
    }
    auto* bar = new vantor::ProgBar(window);
    bar->setObjectName(QStringLiteral("Progress"));
    bar->setFixedHeight(14);
    grid->addWidget(bar, perColumn, 0, 1, 6);
    bar->SetMax(10);
    bar->SetValue(7);
    return window;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString what = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("buttons");
    if (what == QLatin1String("settings") || what == QLatin1String("more")) {
        vantor::HeldSettings held;
        held.Load();
        vantor::SetSettingsSource(&held);
        vantor::SettingUI dialog(held);
        std::unique_ptr<QDialog> shown;
        if (what == QLatin1String("more")) shown = std::make_unique<vantor::MoreOptionsUI>();
        QDialog* window = shown ? shown.get() : &dialog;
        window->move(0, 0);
        window->show();
        window->activateWindow();
        return app.exec();
    }
    if (what != QLatin1String("buttons")) {
        std::fprintf(stderr, "usage: vantor_gallery [buttons|settings|more]\n");
        return 2;
    }
    QWidget* window = Buttons();
    window->move(0, 0);
    window->show();
    window->activateWindow();                          // no window manager runs under Xvfb to do it
    window->setAttribute(Qt::WA_KeyboardFocusChange);  // as if reached with Tab
    const int rc = app.exec();
    delete window;
    return rc;
}
