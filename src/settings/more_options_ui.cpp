// SPDX-License-Identifier: MIT
#include "settings/more_options_ui.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "common/qt_text.h"
#include "controls/focus_frame.h"
#include "controls/theme.h"
#include "controls/vantor_btn.h"
#include "resources/art.h"
#include "session/conversation_log.h"
#include "settings/option_look.h"
#include "settings/settings_source.h"

namespace vantor {

namespace {

MoreOptionsUI::FolderOpener g_opener;

QString FolderText(const std::filesystem::path& folder) {
    return QString::fromStdString(folder.string());
}

}  // namespace

MoreOptionsUI::MoreOptionsUI(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("MoreOptionsUI"));
    setWindowTitle(QStringLiteral("More options"));
    ApplyOptionsLook(this);  // before the controls, which take their palette from it
    BuildControls();
    // What the store holds now: a value changed in the file since the last time shows here.
    for (const Choice& choice : choices_)
        choice.box->setChecked(Settings().Get(choice.setting) != 0);
    for (const Number& number : numbers_)
        number.box->setValue(std::clamp(Settings().Get(number.setting), 0, number.box->maximum()));
    const std::int32_t sort = Settings().Get(setting::kBuddySort);
    sortBox_->setCurrentIndex(sort >= 0 && sort < sortBox_->count() ? sort : 0);
    logFolder_->setText(FolderText(LogRoot()));
    ignored_.Assign(Ignores().Names());
    DrawIgnored();
    setFixedSize(sizeHint());
}

void MoreOptionsUI::SetFolderOpener(FolderOpener opener) {
    g_opener = std::move(opener);
}

QCheckBox* MoreOptionsUI::AddChoice(const LongSetting& setting, const QString& name,
                                    const QString& text) {
    auto* box = new QCheckBox(text, this);
    box->setObjectName(name);
    choices_.push_back({setting, box});
    return box;
}

void MoreOptionsUI::BuildControls() {
    auto* body = new QVBoxLayout(this);
    body->setContentsMargins(12, 12, 12, 12);
    body->setSpacing(6);

    auto* intro = new QLabel(
        QStringLiteral("Settings beyond the classic client. They apply at once, except where a "
                       "line says otherwise."),
        this);
    intro->setObjectName(QStringLiteral("Intro"));
    intro->setWordWrap(true);
    body->addWidget(intro);

    // Two columns, so that the window fits a small screen at 200 %.
    auto* columns = new QHBoxLayout;
    columns->setSpacing(18);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    for (QVBoxLayout* column : {left, right}) {
        column->setSpacing(6);
        columns->addLayout(column, 1);
    }
    body->addLayout(columns);
    auto section = [this](QVBoxLayout* column, const QString& text, const QString& name) {
        return AddOptionsSection(column, text, name, 0, this);
    };

    QGridLayout* talk =
        section(left, QStringLiteral("Lobby and pages:"), QStringLiteral("ConversationsHeading"));
    talk->addWidget(AddChoice(setting::kChatTimeStamps, QStringLiteral("ChatTimeStamps"),
                              QStringLiteral("Time of each line in the lobby "
                                             "(from the next lobby window)")),
                    0, 0, 1, 3);
    talk->addWidget(AddChoice(setting::kChatLobbyEvents, QStringLiteral("ChatLobbyEvents"),
                              QStringLiteral("Renames, kicks and topics in the lobby "
                                             "(from the next lobby window)")),
                    1, 0, 1, 3);
    talk->addWidget(AddChoice(setting::kPageIgnoreButton, QStringLiteral("PageIgnoreButton"),
                              QStringLiteral("IGNORE button in page windows "
                                             "(from the next page window)")),
                    2, 0, 1, 3);
    talk->addWidget(AddChoice(setting::kLogConversations, QStringLiteral("LogConversations"),
                              QStringLiteral("Logs of pages and lobbies "
                                             "(from the next window)")),
                    3, 0, 1, 3);
    AddNumber(talk, 4, setting::kLogRotateMB, QStringLiteral("LogRotateMB"),
              QStringLiteral("Start a log afresh past:"), QStringLiteral(" MB"),
              QStringLiteral("never"), 1000);
    logFolder_ = new QLabel(this);
    logFolder_->setObjectName(QStringLiteral("LogFolder"));
    logFolder_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    logFolder_->setWordWrap(true);
    openFolder_ = new QPushButton(QStringLiteral("Open folder"), this);
    openFolder_->setObjectName(QStringLiteral("OpenFolder"));
    openFolder_->setAccessibleDescription(QStringLiteral("Opens the folder of the logs"));
    openFolder_->setAutoDefault(false);
    openFolder_->setStyleSheet(PushButtonStyle());
    talk->addWidget(logFolder_, 5, 0, 1, 2);
    talk->addWidget(openFolder_, 5, 2, Qt::AlignRight | Qt::AlignTop);
    connect(openFolder_, &QPushButton::clicked, this, &MoreOptionsUI::OpenFolder);

    BuildIgnoreList(left);
    BuildBuddyList(left);
    left->addStretch(1);

    QGridLayout* link =
        section(right, QStringLiteral("Connection:"), QStringLiteral("ConnectionHeading"));
    link->addWidget(AddChoice(setting::kAutoReconnect, QStringLiteral("AutoReconnect"),
                              QStringLiteral("Log on again by itself after a lost connection")),
                    0, 0, 1, 2);
    link->addWidget(AddChoice(setting::kLogOnCancel, QStringLiteral("LogOnCancel"),
                              QStringLiteral("CANCEL ends a log-on under way")),
                    1, 0, 1, 2);
    link->addWidget(AddChoice(setting::kStatusReasons, QStringLiteral("StatusReasons"),
                              QStringLiteral("Say why a connection failed or ended")),
                    2, 0, 1, 2);
    AddNumber(link, 3, setting::kLogOnTimeout, QStringLiteral("LogOnTimeout"),
              QStringLiteral("Give up a log-on that takes longer than:"),
              QStringLiteral(" seconds"), QStringLiteral("never"), 600);
    AddNumber(link, 4, setting::kReconnectStableSeconds, QStringLiteral("ReconnectStableSeconds"),
              QStringLiteral("A link that breaks sooner than this waits longer each time:"),
              QStringLiteral(" seconds"), QStringLiteral("off"), 3600);
    AddNumber(link, 5, setting::kReconnectSearchDelay, QStringLiteral("ReconnectSearchDelay"),
              QStringLiteral("Search buddies when a link back has held for:"),
              QStringLiteral(" seconds"), QStringLiteral("at once"), 600);

    QGridLayout* desktop =
        section(right, QStringLiteral("Desktop:"), QStringLiteral("DesktopHeading"));
    desktop->addWidget(AddChoice(setting::kDesktopNotify, QStringLiteral("DesktopNotify"),
                                 QStringLiteral("Notifications of pages and private messages")),
                       0, 0);
    desktop->addWidget(AddChoice(setting::kNotifyRateLimit, QStringLiteral("NotifyRateLimit"),
                                 QStringLiteral("At most one a second; a burst comes as one")),
                       1, 0);
    desktop->addWidget(AddChoice(setting::kBuddyAlerts, QStringLiteral("BuddyAlerts"),
                                 QStringLiteral("Tell me when a buddy's location changes")),
                       2, 0);
    desktop->addWidget(AddChoice(setting::kTrayIcon, QStringLiteral("TrayIcon"),
                                 QStringLiteral("Icon in the system tray (from the next start)")),
                       3, 0);
    desktop->addWidget(AddChoice(setting::kElideStatus, QStringLiteral("ElideStatus"),
                                 QStringLiteral("Shorten a long status in the middle "
                                                "(from the next start)")),
                       4, 0);

    QGridLayout* sound = section(right, QStringLiteral("Sounds:"), QStringLiteral("SoundsHeading"));
    sound->addWidget(AddChoice(setting::kPageSound, QStringLiteral("PageSound"),
                               QStringLiteral("Chime for pages and private messages "
                                              "in the background")),
                     0, 0);
    right->addStretch(1);

    const OkCancelRow buttons = AddOkCancel(body, this);
    okBtn_ = buttons.ok;
    cancelBtn_ = buttons.cancel;
    connect(okBtn_, &VantorBtn::Click, this, &MoreOptionsUI::OnOk);
    connect(cancelBtn_, &VantorBtn::Click, this, &MoreOptionsUI::reject);

    // Orange focus marks on the dark red, as in the options window.
    for (const Choice& choice : choices_) {
        QPalette palette = choice.box->palette();
        palette.setColor(QPalette::Highlight, theme::kOrange);
        choice.box->setPalette(palette);
    }
}

void MoreOptionsUI::AddNumber(QGridLayout* grid, int row, const LongSetting& setting,
                              const QString& name, const QString& text, const QString& unit,
                              const QString& zero, int most) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name + QStringLiteral("Label"));
    label->setWordWrap(true);
    auto* box = new QSpinBox(this);
    box->setObjectName(name);
    box->setRange(0, most);
    box->setSuffix(unit);
    box->setSpecialValueText(zero);  // what 0 means, in words
    box->setAccessibleName(text);
    ApplyFieldColours(box);
    box->setKeyboardTracking(false);
    label->setBuddy(box);
    grid->addWidget(label, row, 0);
    grid->addWidget(box, row, 1, 1, grid->columnCount() > 2 ? 2 : 1, Qt::AlignRight);
    numbers_.push_back({setting, box});
}

void MoreOptionsUI::BuildIgnoreList(QVBoxLayout* body) {
    QGridLayout* grid = AddOptionsSection(body, QStringLiteral("Ignore list:"),
                                          QStringLiteral("IgnoreHeading"), 0, this);
    ignoreNames_ = new QListWidget(this);
    ignoreNames_->setObjectName(QStringLiteral("IgnoreNames"));
    ignoreNames_->setAccessibleName(QStringLiteral("Ignored users"));
    ignoreNames_->setAccessibleDescription(
        QStringLiteral("Their pages, private messages and lobby lines are not shown"));
    ignoreNames_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ignoreNames_->setStyleSheet(
        QStringLiteral("QListWidget { background-color: %1; color: %2; border: 1px solid %3; }")
            .arg(theme::kDarkRed.name(), theme::kOrange.name(), theme::kEmber.name()));
    ignoreNames_->setFixedHeight(ignoreNames_->fontMetrics().height() * 4 + 8);
    ThemeScrollBars(ignoreNames_);
    ShowFocusFrame(ignoreNames_);

    removeIgnored_ = new QPushButton(QStringLiteral("Remove"), this);
    removeIgnored_->setObjectName(QStringLiteral("RemoveIgnored"));
    removeIgnored_->setAccessibleDescription(QStringLiteral("Stops ignoring the chosen users"));
    ignoreName_ = new QLineEdit(this);
    ignoreName_->setObjectName(QStringLiteral("IgnoreName"));
    ignoreName_->setAccessibleName(QStringLiteral("Nickname to ignore:"));
    ignoreName_->setPlaceholderText(QStringLiteral("Nickname"));
    ignoreName_->setStyleSheet(FieldStyle());
    addIgnored_ = new QPushButton(QStringLiteral("Add"), this);
    addIgnored_->setObjectName(QStringLiteral("AddIgnored"));
    addIgnored_->setAccessibleDescription(QStringLiteral("Ignores the nickname typed"));
    for (QPushButton* button : {removeIgnored_, addIgnored_}) {
        button->setAutoDefault(false);
        button->setStyleSheet(PushButtonStyle());
    }

    // Said only while what was typed cannot be a nickname.
    ignoreRefused_ = new QLabel(QStringLiteral("No nickname holds such a character."), this);
    ignoreRefused_->setObjectName(QStringLiteral("IgnoreRefused"));
    ignoreRefused_->hide();

    grid->addWidget(ignoreNames_, 0, 0);
    grid->addWidget(removeIgnored_, 0, 1, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(ignoreName_, 1, 0);
    grid->addWidget(addIgnored_, 1, 1, Qt::AlignRight);
    grid->addWidget(ignoreRefused_, 2, 0, 1, 2);
    grid->addWidget(
        AddChoice(setting::kPagesFromBuddiesOnly, QStringLiteral("PagesFromBuddiesOnly"),
                  QStringLiteral("Pages from buddies only (anyone else is ignored)")),
        3, 0, 1, 2);
    connect(ignoreName_, &QLineEdit::textEdited, ignoreRefused_, &QLabel::hide);
    connect(addIgnored_, &QPushButton::clicked, this, &MoreOptionsUI::AddIgnored);
    connect(removeIgnored_, &QPushButton::clicked, this, &MoreOptionsUI::RemoveIgnored);
}

void MoreOptionsUI::BuildBuddyList(QVBoxLayout* body) {
    QGridLayout* buddies = AddOptionsSection(body, QStringLiteral("Buddy list:"),
                                             QStringLiteral("BuddiesHeading"), 1, this);
    auto* sortLabel = new QLabel(QStringLiteral("Order:"), this);
    sortLabel->setObjectName(QStringLiteral("BuddySortLabel"));
    sortBox_ = new QComboBox(this);
    sortBox_->setObjectName(QStringLiteral("BuddySort"));
    sortBox_->setAccessibleName(QStringLiteral("Order of the buddy list"));
    // By the setting's values, 0 first.
    sortBox_->addItems({QStringLiteral("As the list is kept"), QStringLiteral("Online first"),
                        QStringLiteral("By name")});
    ApplyFieldColours(sortBox_);
    sortLabel->setBuddy(sortBox_);
    buddies->addWidget(sortLabel, 0, 0);
    buddies->addWidget(sortBox_, 0, 1, Qt::AlignLeft);
    buddies->addWidget(AddChoice(setting::kBuddyHideOffline, QStringLiteral("BuddyHideOffline"),
                                 QStringLiteral("Hide buddies not logged in")),
                       1, 0, 1, 2);
    buddies->addWidget(
        AddChoice(setting::kBuddyIcons, QStringLiteral("BuddyIcons"),
                  QStringLiteral("Status icons, and when each location was looked up")),
        2, 0, 1, 2);
    buddies->addWidget(AddChoice(setting::kBuddyJoin, QStringLiteral("BuddyJoin"),
                                 QStringLiteral("Offer to join the lobby a buddy is in")),
                       3, 0, 1, 2);
}

void MoreOptionsUI::AddIgnored() {
    const QString typed = ignoreName_->text();
    if (!FitsWire(typed)) {  // kept in the field, to be mended
        ignoreRefused_->show();
        return;
    }
    ignoreRefused_->hide();
    for (const std::string& name : IgnoreList::ParseText(ToWire(typed))) ignored_.Add(name);
    ignoreName_->clear();
    DrawIgnored();
}

void MoreOptionsUI::RemoveIgnored() {
    std::vector<std::string> chosen;
    for (const QListWidgetItem* item : ignoreNames_->selectedItems()) {
        const int row = ignoreNames_->row(item);
        if (row >= 0 && row < int(ignored_.Names().size())) {
            chosen.push_back(ignored_.Names()[std::size_t(row)]);
        }
    }
    for (const std::string& name : chosen) ignored_.Remove(name);
    DrawIgnored();
}

void MoreOptionsUI::DrawIgnored() {
    ignoreNames_->clear();
    for (const std::string& name : ignored_.Names()) ignoreNames_->addItem(FromWire(name));
    removeIgnored_->setEnabled(!ignored_.Empty());
}

void MoreOptionsUI::OpenFolder() {
    const std::filesystem::path folder = LogRoot();
    MakeLogFolders(folder);  // a folder that does not exist yet cannot be shown
    const QUrl url = QUrl::fromLocalFile(FolderText(folder));
    if (g_opener) {
        g_opener(url);
    } else {
        QDesktopServices::openUrl(url);
    }
}

void MoreOptionsUI::keyPressEvent(QKeyEvent* event) {
    // The image buttons are no push buttons, so Enter needs saying what it does.
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        if (focusWidget() == cancelBtn_) {
            reject();
        } else if (focusWidget() == openFolder_) {
            OpenFolder();
        } else if (focusWidget() == ignoreName_ || focusWidget() == addIgnored_) {
            AddIgnored();
        } else if (focusWidget() == removeIgnored_) {
            RemoveIgnored();
        } else {
            OnOk();
        }
        return;
    }
    if (key == Qt::Key_Delete && focusWidget() == ignoreNames_) {
        RemoveIgnored();
        return;
    }
    QDialog::keyPressEvent(event);
}

void MoreOptionsUI::OnOk() {
    for (const Choice& choice : choices_) {
        Settings().Set(choice.setting, choice.box->isChecked() ? 1 : 0);
    }
    for (const Number& number : numbers_) Settings().Set(number.setting, number.box->value());
    Settings().Set(setting::kBuddySort, sortBox_->currentIndex());
    Ignores().Assign(ignored_.Names());
    accept();
}

}  // namespace vantor
