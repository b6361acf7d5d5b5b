// SPDX-License-Identifier: MIT
// Shows one of the buddy dialogs, without a network, and saves a picture of it:
//   reorder_gallery reorder|status|failed|add|add-blank out.png
// (under Xvfb or any display; set QT_SCALE_FACTOR=2 for 200 %)
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

#include "app/add_buddy_ui.h"
#include "controls/vantor_btn.h"
#include "reorder/buddy_restore.h"
#include "reorder/fake_reorder_link.h"
#include "reorder/reorder_ui.h"
#include "support/recording_boxes.h"
#include "support/temp_registry.h"

using namespace vantor;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) return 2;
    const QString what = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    test::TempDir work;
    QDir::setCurrent(QString::fromStdString(work.Path().string()));
    test::FakeReorderLink link;
    BuddyRestore restore(work.Path() / "restore.txt");
    test::RecordingBoxes boxes;  // a gallery shows no box

    QWidget* shot = nullptr;
    ReOrderUI reorder;
    AddBuddyUI add;
    if (what.startsWith(u"add")) {
        add.show();
        if (what == u"add-blank")
            add.findChild<QLineEdit*>(QStringLiteral("BuddyText"))->setText(QStringLiteral("bo b"));
        shot = &add;
    } else {
        for (const char* nick : {"echo", "marla", "dozer", "rover", "tanker", "shade", "warden",
                                 "guest", "Kane", "Tanya", "ann"})
            reorder.BuddyList()->addItem(QString::fromLatin1(nick));
        reorder.Init();
        reorder.SetWOL(&link);
        reorder.SetRestore(&restore);
        reorder.SetMessageBoxes(&boxes);
        reorder.show();
        reorder.BuddyList()->setCurrentRow(3);
        shot = &reorder;
        if (what == u"status") {
            reorder.findChild<VantorBtn*>(QStringLiteral("OKBtn"))->click();
            link.Answer("335", 11);
            link.Answer("334", 4);
            shot = reorder.Stat();
        } else if (what == u"failed") {
            reorder.findChild<VantorBtn*>(QStringLiteral("OKBtn"))->click();
            link.Answer("335", 3);
            link.connected = false;
            reorder.ConnectionLost();
        }
    }
    QTimer::singleShot(800, &app, [&] {
        shot->grab().save(out);
        QApplication::exit(0);  // quit() would ask the status window, which refuses to close
    });
    return app.exec();
}
