// SPDX-License-Identifier: MIT
// The main window's buddy list: filling it, where each buddy is, its pop-up menu and commands.
#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTime>
#include <QTimer>
#include <QTreeWidget>

#include "app/stall_meter.h"
#include "app/vantor_chat_ui.h"
#include "common/qt_text.h"
#include "controls/attention.h"
#include "controls/prog_bar.h"
#include "controls/vantor_btn.h"
#include "platform/socket_layer.h"
#include "session/buddy_list.h"
#include "settings/setting_names.h"
#include "settings/settings_source.h"

namespace vantor {

namespace {

constexpr int kServers = 3;

double SecondsSinceMidnight() {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

}  // namespace

void VantorChatUI::WOL_BuddyListResult(const std::string& list, int result) {
    if (result != 0) return;
    // Filled (and searched) after the receive pass that brought the list has unwound, so that
    // the main session keeps being read meanwhile.
    const auto listed = listFill_.watch();
    QTimer::singleShot(0, this, [this, list, listed] {
        if (listed()) FillBuddyList(list);
    });
}

void VantorChatUI::FillBuddyList(const std::string& list) {
    const bool allServers = Settings().Get(setting::kScanBuddyOtherServer) == 1;
    SetupColumns(allServers);
    const int locations = allServers ? 3 : 1;
    const auto filling = listFill_.watch();
    std::vector<std::string> nicks = SplitBuddyList(list);
    // Buddies an unfinished reorder took off go back at the end, where the service adds them.
    const std::vector<std::string> restored = RestoreAtLogOn(nicks);
    nicks.insert(nicks.end(), restored.begin(), restored.end());
    for (const std::string& nick : nicks) {
        QStringList cells{FromWire(nick)};
        for (int c = 0; c < locations; ++c) cells << QStringLiteral("Unknown");
        auto* row = new QTreeWidgetItem(buddyList_, cells);
        // The keyboard needs a current row before the arrow keys move anywhere.
        if (!buddyList_->currentItem()) buddyList_->setCurrentItem(row);
        QCoreApplication::processEvents();
        // A log-off meanwhile emptied the list; what is left of this one is stale.
        if (!filling()) return;
    }
    pageBud_->SetEnabled(true);
    buddyMnuReDL_->setEnabled(true);
    buddyMnuRefUsr_->setEnabled(true);
    if (Settings().Get(setting::kAutoBuddyRefreshInt) != 0) {
        refBuddy_->start();
        refreshMinutes_ = 0;
    }
    RefreshLocations();
    ShowRestored(restored);
}

void VantorChatUI::ClearBuddyList() {
    listFill_.Renew();
    // Outstanding answers would carry row numbers of the old list.
    StopSearch();
    buddyWatch_.Forget();
    buddyList_->clear();
    buddyList_->setColumnCount(0);
}

void VantorChatUI::RefreshLocations() {
    for (VantorBtn* b : {refreshBud_, addBud_, delBud_, reOrdBud_}) b->SetEnabled(false);
    buddyMnuRef_->setEnabled(false);
    searchStart_ = SecondsSinceMidnight();
    // The columns chosen when the list was filled decide, so that a setting changed since then
    // cannot send answers to columns the list does not show.
    std::vector<std::string> nicks;
    for (int i = 0; i < buddyList_->topLevelItemCount(); ++i)
        nicks.push_back(ToWire(buddyList_->topLevelItem(i)->text(0)));
    const std::int32_t basePort = Settings().Get(setting::kServerPort);
    std::vector<std::int32_t> ports;
    if (buddyList_->columnCount() == 1 + kServers) {
        for (int server = 0; server < kServers; ++server) ports.push_back(basePort + server);
    } else {
        ports.push_back(basePort + serverIndex_);
    }
    const std::optional<std::uint32_t> address =
        hostLookup_ && hostLookup_->Ready() ? hostLookup_->Address() : std::nullopt;
    buddyWatch_.NewSearch();
    search_.Start(nicks, ports, address);
}

void VantorChatUI::RefreshSelectedClick() {
    QTreeWidgetItem* row = SelectedBuddy();
    if (!row) return;
    buddyWatch_.NewSearch();
    search_.RefreshRow(*wol_, buddyList_->indexOfTopLevelItem(row) + 1, ToWire(row->text(0)));
}

void VantorChatUI::BudCheckCB_Callback(const std::string& line, Delivery kind, const Param& param) {
    search_.Answer(line, kind, param);
}

void VantorChatUI::ShowLocation(int row, int column, const std::string& location) {
    // Rows removed meanwhile leave the index past the end.
    if (row < 1 || row > buddyList_->topLevelItemCount()) return;
    if (column < 1 || column >= buddyList_->columnCount()) return;
    QTreeWidgetItem* item = buddyList_->topLevelItem(row - 1);
    item->setText(column, FromWire(location));
    if (Settings().Get(setting::kBuddyAlerts) == 0) return;
    if (const auto news = buddyWatch_.Seen(ToWire(item->text(0)), column, location))
        NoteAlert(this, item->text(0), FromWire(*news));
}

void VantorChatUI::RowRefreshed(int row, const std::string& location) {
    if (buddyList_->topLevelItemCount() == 0) return;
    // The main session answers for the server logged on to: with a column per server that is the
    // column of that server.
    const bool allServers = buddyList_->columnCount() == 1 + kServers;
    const int column =
        allServers && serverIndex_ >= 0 && serverIndex_ < kServers ? serverIndex_ + 1 : 1;
    ShowLocation(row, column, location);
    FinishSearch();
}

void VantorChatUI::ShowProgress(int value, int max) {
    if (progBar_->Max() != max) progBar_->SetMax(max);  // repaints the whole bar
    progBar_->SetValue(value);
}

void VantorChatUI::SetIdleTimer(bool running) {
    if (running) {
        searchTimer_->start();
    } else {
        searchTimer_->stop();
    }
}

void VantorChatUI::SetPollTimer(bool running) {
    if (running) {
        searchPoll_->start();
    } else {
        searchPoll_->stop();
    }
}

void VantorChatUI::SearchEnded(const SearchResult& result) {
    if (result.end == SearchResult::End::Completed) {
        searchEnd_ = SecondsSinceMidnight();
        QString text = SearchCompletedText(searchStart_, searchEnd_);
        if (result.failed != 0) {
            text += QStringLiteral(" (") + QString::number(result.failed) + QStringLiteral(" of ") +
                    QString::number(result.expected) + QStringLiteral(" could not connect)");
        }
        SetStatus(text);
    } else if (result.end == SearchResult::End::TimedOut) {
        SetStatus(QStringLiteral("Search timed out: ") + QString::number(result.received) +
                  QStringLiteral(" of ") + QString::number(result.expected) +
                  QStringLiteral(" locations found"));
    }
    progBar_->SetValue(0);
    FinishSearch();
}

void VantorChatUI::StopSearch() {
    search_.Cancel();
    progBar_->SetValue(0);
}

void VantorChatUI::FinishSearch() {
    for (VantorBtn* b : {refreshBud_, addBud_, delBud_, reOrdBud_}) b->SetEnabled(true);
    buddyMnuRef_->setEnabled(true);
}

void VantorChatUI::RefBuddy_Timer() {
    if (Settings().Get(setting::kAutoBuddyRefresh) == 0) {
        refBuddy_->stop();
        return;
    }
    ++refreshMinutes_;
    if (refreshMinutes_ >= Settings().Get(setting::kAutoBuddyRefreshInt)) {
        RefreshLocations();
        refreshMinutes_ = 0;
    }
}

QTreeWidgetItem* VantorChatUI::SelectedBuddy() const {
    const QList<QTreeWidgetItem*> selected = buddyList_->selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

void VantorChatUI::PageBudClick() {
    QTreeWidgetItem* row = SelectedBuddy();
    if (!row) return;
    wol_->NewPageWin(ToWire(row->text(0)));
}

void VantorChatUI::ReDownloadClick() {
    buddyMnuReDL_->setEnabled(false);
    ClearBuddyList();
    wol_->GetBuddies();
}

void VantorChatUI::ShowBuddyMenu(QTreeWidgetItem* row, const QPoint& globalPos) {
    if (!row) return;
    buddyList_->setCurrentItem(row);
    QString nick = row->text(0);
    nick.replace(QLatin1Char('&'), QStringLiteral("&&"));  // a literal ampersand, not a mnemonic
    buddyMnuRefUsr_->setText(QStringLiteral("&Refresh location for \"") + nick + QLatin1Char('"'));
    menuShower_(*buddyMnu_, globalPos);
}

bool VantorChatUI::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddyList_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            ShowBuddyMenu(buddyList_->itemAt(mouse->position().toPoint()),
                          mouse->globalPosition().toPoint());
        }
        return false;
    }
    if (watched != buddyList_) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        if (QTreeWidgetItem* row = SelectedBuddy()) {
            const QRect place = buddyList_->visualItemRect(row);
            ShowBuddyMenu(row, buddyList_->viewport()->mapToGlobal(place.bottomLeft()));
        }
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && SelectedBuddy()) {
            PageBudClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vantor
