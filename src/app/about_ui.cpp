// SPDX-License-Identifier: MIT
#include "app/about_ui.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QLabel>
#include <QUrl>

#include "app/background.h"
#include "controls/vantor_btn.h"

namespace vantor {

namespace {

QLabel* TextLabel(QWidget* parent, const QString& name, const QString& text, const QRect& where,
                  int pointSize, bool bold) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(where);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: rgb(255,128,0); background: transparent;"));
    return label;
}

}  // namespace

AboutUI::AboutUI(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutUI"));
    setWindowTitle(QStringLiteral("About ") + QLatin1String(kProductName));
    setFixedSize(360, 250);
    MakeBackground(this, SharedBackgroundPicture());

    TextLabel(this, QStringLiteral("Product"), QLatin1String(kProductName), QRect(10, 14, 340, 30),
              16, true);
    TextLabel(this, QStringLiteral("Version"), QStringLiteral("Version ") + QLatin1String(kProductVersion),
              QRect(10, 48, 340, 20), 10, false);
    TextLabel(this, QStringLiteral("Credits"),
              QStringLiteral("A desktop client for Westwood Online: buddy list, pages and lobby "
                             "chat.\nWritten by the Vantor Desktop team. Artwork is our own."),
              QRect(20, 78, 320, 90), 9, false);

    auto* website = new VantorBtn(QStringLiteral("WEBSITE"), this);
    website->setObjectName(QStringLiteral("WebsiteBtn"));
    website->move(70, 196);
    connect(website, &VantorBtn::Click, this,
            [] { QDesktopServices::openUrl(QUrl(QLatin1String(kProductUrl))); });

    auto* ok = new VantorBtn(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->move(190, 196);
    ok->setFocus();
    connect(ok, &VantorBtn::Click, this, &AboutUI::accept);
}

void AboutUI::done(int result) {
    QDialog::done(result);
    Finish();
}

void AboutUI::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
    if (event->isAccepted()) Finish();
}

void AboutUI::Finish() {
    if (finished_) return;
    finished_ = true;
    emit Finished();
}

}  // namespace vantor
