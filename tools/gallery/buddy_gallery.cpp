// SPDX-License-Identifier: MIT
// The main window logged on as demo to the bundled service, its buddy list searched, saved as a
// picture:
//   buddy_gallery service|sorted|filtered|menu|sortmenu out.png
// service: the list in the service's order; sorted: online first; filtered: by name without the
// buddies not logged in; menu: sorted, with the pop-up menu of the buddy in a lobby open;
// sortmenu: the same with its "Sort buddies" open.
// (offscreen, under Xvfb or any display; set QT_SCALE_FACTOR=2 for 200 %)
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QTreeWidget>

#include "app/vantor_chat_ui.h"
#include "controls/vantor_btn.h"
#include "settings/settings_store.h"
#include "support/local_server.h"
#include "support/recording_boxes.h"
#include "support/temp_registry.h"

using namespace vantor;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) return 2;
    const QString what = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    test::ScopedRegistry registry;
    test::LocalServer server(/*demo=*/true);
    if (!server.Ok()) return 1;
    SaveSettingString("ServerHost", "127.0.0.1");
    SaveSettingLong("ServerPort", server.BasePort());
    SaveSettingLong("ShowMOTD", 0);
    SaveSettingLong("BuddyListAutoRefresh", 0);
    SaveSettingLong("BuddySort", what == u"service" ? 0 : (what == u"filtered" ? 2 : 1));
    SaveSettingLong("BuddyHideOffline", what == u"filtered" ? 1 : 0);

    test::RecordingBoxes boxes;
    VantorChatUI main;
    main.SetMessageBoxes(&boxes);
    main.SetLogOnPrompt([](QWidget*, const QString&) {
        return LogOnAnswer{false, QStringLiteral("demo"), QStringLiteral("demo")};
    });
    QMenu* shownMenu = nullptr;
    QPoint menuAt;
    main.SetMenuShower([&](QMenu& menu, const QPoint& at) {
        shownMenu = &menu;
        menuAt = at;
        menu.popup(at);
    });
    main.resize(760, 520);
    main.show();
    main.findChild<VantorBtn*>(QStringLiteral("LogInBtn"))->click();

    auto* list = main.findChild<QTreeWidget*>(QStringLiteral("BuddyList"));
    auto* poll = new QTimer(&app);
    int waited = 0;
    QObject::connect(poll, &QTimer::timeout, &app, [&] {
        const bool searched = main.windowTitle().contains(QStringLiteral("Search completed"));
        if (!searched && ++waited < 200) return;
        poll->stop();
        const QList<QTreeWidgetItem*> warden =
            list->findItems(QStringLiteral("warden"), Qt::MatchExactly);
        if (what.endsWith(u"menu") && !warden.isEmpty()) {
            const QPoint at = list->visualItemRect(warden.front()).center();
            QMouseEvent release(QEvent::MouseButtonRelease, at, list->viewport()->mapToGlobal(at),
                                Qt::RightButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(list->viewport(), &release);
        } else if (const QList<QTreeWidgetItem*> echo =
                       list->findItems(QStringLiteral("echo"), Qt::MatchExactly);
                   !echo.isEmpty()) {
            list->setCurrentItem(echo.front());
        }
        QTimer::singleShot(500, &app, [&] {
            QPixmap shot = main.grab();
            if (shownMenu && shownMenu->isVisible()) {
                // The menu is a window of its own: drawn onto the main window where it opened.
                QPainter painter(&shot);
                painter.drawPixmap(main.mapFromGlobal(menuAt), shownMenu->grab());
                auto* sort = shownMenu->findChild<QMenu*>(QStringLiteral("BuddyMnu_Sort"));
                if (what == u"sortmenu" && sort) {
                    const QRect item = shownMenu->actionGeometry(sort->menuAction());
                    const QPoint at = main.mapFromGlobal(menuAt) + item.topRight();
                    sort->adjustSize();
                    painter.drawPixmap(at, sort->grab());
                }
            }
            shot.save(out);
            QApplication::exit(0);
        });
    });
    poll->start(50);
    return app.exec();
}
