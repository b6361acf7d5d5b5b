// SPDX-License-Identifier: MIT
#include "app/about_ui.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QUrl>

#include "controls/theme.h"
#include "controls/vantor_btn.h"
#include "resources/art.h"
#include "resources/background.h"

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
    label->setStyleSheet(TextStyle());
    return label;
}

}  // namespace

AboutUI::AboutUI(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutUI"));
    setWindowTitle(QStringLiteral("About ") + QLatin1String(kProductName));
    setFixedSize(360, 200);
    MakeBackground(this, art::SharedBackground());

    TextLabel(this, QStringLiteral("Product"), QLatin1String(kProductName), QRect(10, 14, 340, 30),
              16, true);
    TextLabel(this, QStringLiteral("Version"),
              QStringLiteral("Version ") + QLatin1String(kProductVersion), QRect(10, 48, 340, 20),
              10, false);
    TextLabel(this, QStringLiteral("Credits"),
              QStringLiteral("Buddy list, pages and lobby chat.\n"
                             "Written and drawn by the Vantor Desktop team."),
              QRect(20, 78, 320, 50), 9, false);

    // OK first in the focus chain, so Space or Enter dismisses the box.
    auto* ok = new VantorBtn(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->move(190, 146);
    connect(ok, &VantorBtn::Click, this, &AboutUI::accept);

    auto* website = new VantorBtn(QStringLiteral("WEBSITE"), this);
    website->setObjectName(QStringLiteral("WebsiteBtn"));
    website->move(70, 146);
    connect(website, &VantorBtn::Click, this,
            [] { QDesktopServices::openUrl(QUrl(QLatin1String(kProductUrl))); });
}

void AboutUI::done(int result) {
    QDialog::done(result);
    Finish();
}

void AboutUI::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
    if (event->isAccepted()) Finish();
}

void AboutUI::keyPressEvent(QKeyEvent* event) {
    // Image buttons are not default buttons, so Enter would do nothing without this.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AboutUI::Finish() {
    if (finished_) return;
    finished_ = true;
    emit Finished();
}

}  // namespace vantor
