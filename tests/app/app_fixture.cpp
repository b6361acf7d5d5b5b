// SPDX-License-Identifier: MIT
#include "app_fixture.h"

#include <QLabel>

namespace vantor::test {

QString MainWindowFixture::Text(const char* label) const {
    return Find<QLabel>(label)->text();
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

}  // namespace vantor::test
