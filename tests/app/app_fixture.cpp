// SPDX-License-Identifier: MIT
#include "app_fixture.h"

#include <QLabel>
#include <QMenu>
#include <algorithm>

namespace vantor::test {

QString MainWindowFixture::Text(const char* label) const {
    return Find<QLabel>(label)->text();
}

QAction* MainWindowFixture::Item(const char* name) const {
    return Find<QMenu>("BuddyMnu")->findChild<QAction*>(QString::fromLatin1(name));
}

QString MainWindowFixture::Rows() const {
    QStringList names;
    for (int i = 0; i < List()->topLevelItemCount(); ++i) names << List()->topLevelItem(i)->text(0);
    return names.join(u'|');
}

QString MainWindowFixture::Cell(const char* nick, int column) const {
    const auto rows = List()->findItems(QString::fromLatin1(nick), Qt::MatchExactly);
    return rows.isEmpty() ? QStringLiteral("(no row)") : rows.front()->text(column);
}

void MainWindowFixture::Select(const char* nick) {
    List()->setCurrentItem(List()->findItems(QString::fromLatin1(nick), Qt::MatchExactly).value(0));
}

bool MainWindowFixture::LogOnAsBob() {
    answers.push_back(LogOnAnswer{false, QStringLiteral("bob"), QStringLiteral("secret")});
    Click("LogInBtn");
    if (!peer.Accept()) return false;
    if (!peer.WaitForLines(5)) return false;
    peer.SendLine(":s 375 bob :- Welcome");
    peer.SendLine(":s 372 bob :- <news>Hello there</news>");
    peer.SendLine(":s 376 bob :End of MOTD");
    return PumpUi([this] { return Text("LogAs") == QStringLiteral("bob"); });
}

bool MainWindowFixture::LogOnWithList(const std::string& list) {
    if (!LogOnAsBob() || !peer.WaitForLine("GETBUDDY")) return false;
    peer.SendLine(":s 333 bob" + (list.empty() ? std::string() : " " + list));
    const int rows = list.empty() ? 0 : static_cast<int>(std::ranges::count(list, '`')) + 1;
    return PumpUi([&] { return Btn("PageBud")->Enabled() && List()->topLevelItemCount() == rows; });
}

}  // namespace vantor::test
