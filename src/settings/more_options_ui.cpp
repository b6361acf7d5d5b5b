// SPDX-License-Identifier: MIT
#include "settings/more_options_ui.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

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
    logFolder_->setText(FolderText(LogRoot()));
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
    auto section = [this, body](const QString& text, const QString& name) {
        return AddOptionsSection(body, text, name, 0, this);
    };

    auto* intro = new QLabel(
        QStringLiteral("Settings beyond the classic client. They apply at once, except where a "
                       "line says otherwise."),
        this);
    intro->setObjectName(QStringLiteral("Intro"));
    intro->setWordWrap(true);
    body->addWidget(intro);

    QGridLayout* talk =
        section(QStringLiteral("Lobby and pages:"), QStringLiteral("ConversationsHeading"));
    talk->addWidget(AddChoice(setting::kChatTimeStamps, QStringLiteral("ChatTimeStamps"),
                              QStringLiteral("Show the time of each line in the lobby "
                                             "(from the next lobby window)")),
                    0, 0, 1, 2);
    talk->addWidget(AddChoice(setting::kLogConversations, QStringLiteral("LogConversations"),
                              QStringLiteral("Keep logs of pages and lobby conversations "
                                             "(from the next window)")),
                    1, 0, 1, 2);
    logFolder_ = new QLabel(this);
    logFolder_->setObjectName(QStringLiteral("LogFolder"));
    logFolder_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    logFolder_->setWordWrap(true);
    openFolder_ = new QPushButton(QStringLiteral("Open folder"), this);
    openFolder_->setObjectName(QStringLiteral("OpenFolder"));
    openFolder_->setAccessibleDescription(QStringLiteral("Opens the folder of the logs"));
    openFolder_->setAutoDefault(false);
    openFolder_->setStyleSheet(PushButtonStyle());
    talk->addWidget(logFolder_, 2, 0);
    talk->addWidget(openFolder_, 2, 1, Qt::AlignRight | Qt::AlignTop);
    connect(openFolder_, &QPushButton::clicked, this, &MoreOptionsUI::OpenFolder);

    QGridLayout* link = section(QStringLiteral("Connection:"), QStringLiteral("ConnectionHeading"));
    link->addWidget(AddChoice(setting::kAutoReconnect, QStringLiteral("AutoReconnect"),
                              QStringLiteral("Log on again by itself after a lost connection")),
                    0, 0);

    QGridLayout* desktop = section(QStringLiteral("Desktop:"), QStringLiteral("DesktopHeading"));
    desktop->addWidget(
        AddChoice(setting::kDesktopNotify, QStringLiteral("DesktopNotify"),
                  QStringLiteral("Desktop notifications for pages and private messages")),
        0, 0);
    desktop->addWidget(
        AddChoice(setting::kBuddyAlerts, QStringLiteral("BuddyAlerts"),
                  QStringLiteral("Tell me on the desktop when a buddy's location changes")),
        1, 0);
    desktop->addWidget(AddChoice(setting::kTrayIcon, QStringLiteral("TrayIcon"),
                                 QStringLiteral("Icon in the system tray (from the next start)")),
                       2, 0);

    QGridLayout* sound = section(QStringLiteral("Sounds:"), QStringLiteral("SoundsHeading"));
    sound->addWidget(AddChoice(setting::kPageSound, QStringLiteral("PageSound"),
                               QStringLiteral("Chime for a page or private message in a window in "
                                              "the background")),
                     0, 0);

    // The ignore list gets its own section here, after the sounds and before the buttons.

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
        } else {
            OnOk();
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

void MoreOptionsUI::OnOk() {
    for (const Choice& choice : choices_) {
        Settings().Set(choice.setting, choice.box->isChecked() ? 1 : 0);
    }
    accept();
}

}  // namespace vantor
