// SPDX-License-Identifier: MIT
#pragma once

#include <QMenu>
#include <string>
#include <vector>

#include "app_fixture.h"
#include "session/location.h"

namespace vantor::test {

// A main window whose buddies' locations are answered one by one through the menu's refresh,
// and whose pop-up menu is recorded instead of shown.
struct BuddyViewFixture : MainWindowFixture {
    int menus = 0;

    BuddyViewFixture() {
        main->SetMenuShower([this](QMenu&, const QPoint&) { ++menus; });
    }

    // The list, then where each buddy is: "nick=398 words", e.g. "ann=3", "cy=0 #Lob_21_3,0".
    bool Ready(const std::string& list, const std::vector<std::string>& places = {}) {
        if (!LogOnWithList(list)) return false;
        for (const std::string& place : places) {
            const auto eq = place.find('=');
            if (!Answer(place.substr(0, eq), place.substr(eq + 1))) return false;
        }
        return true;
    }
    // The buddy's refresh from the menu, answered by the peer; waits until the row has it.
    bool Answer(const std::string& nick, const std::string& words) {
        ShowMenuFor(nick);
        Item("BuddyMnu_RefUsr")->trigger();
        if (!peer.WaitForLine("FINDUSEREX " + nick)) return false;
        const std::string line = ":s 398 bob " + words;
        peer.SendLine(line);
        const QString place = QString::fromStdString(DecodeLocation(line));
        return PumpUi([&] { return Cell(nick.c_str(), 1) == place; });
    }
    // The pop-up menu for the buddy's row, as a right-click opens it.
    void ShowMenuFor(const std::string& nick) {
        QTreeWidgetItem* item = ItemFor(nick);
        if (!item) return;
        List()->scrollToItem(item);
        const QPoint at = List()->visualItemRect(item).center();
        QTest::mouseClick(List()->viewport(), Qt::RightButton, {}, at);
    }
    QTreeWidgetItem* ItemFor(const std::string& nick) const {
        return List()->findItems(QString::fromStdString(nick), Qt::MatchExactly).value(0);
    }
    // The nicknames drawn and shown, top to bottom.
    QString Shown() const {
        QStringList names;
        for (int i = 0; i < List()->topLevelItemCount(); ++i)
            if (!List()->topLevelItem(i)->isHidden()) names << List()->topLevelItem(i)->text(0);
        return names.join(u' ');
    }
};

}  // namespace vantor::test
