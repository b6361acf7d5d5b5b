// SPDX-License-Identifier: MIT
#include "settings/setting_ui.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QVBoxLayout>

#include "controls/theme.h"
#include "controls/vantor_btn.h"
#include "resources/art.h"
#include "settings/more_options_ui.h"
#include "settings/option_look.h"

namespace vantor {

namespace {

SettingUI* g_instance = nullptr;

constexpr int kContentWidth = 360;

QStringList SplitList(std::string_view list) {
    return QString::fromLatin1(list.data(), qsizetype(list.size())).split(QLatin1Char('|'));
}

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

}  // namespace

SettingUI::SettingUI(HeldSettings& held, QWidget* parent, Controls controls)
    : QDialog(parent), held_(held) {
    setObjectName(QStringLiteral("SettingUI"));
    setWindowTitle(QStringLiteral("Options"));

    background_ = art::SharedBackground();
    title_ = art::SharedTitle();
    ApplyOptionsLook(this);

    BuildControls(controls);
    ShowHeldValues();
    // A held value written elsewhere while the window is hidden shows the next time it opens.
    watch_ = held_.Watch([this] {
        if (!isVisible()) ShowHeldValues();
    });

    g_instance = this;
}

SettingUI::~SettingUI() {
    held_.Unwatch(watch_);
    if (g_instance == this) g_instance = nullptr;
}

void SettingUI::BuildControls(Controls controls) {
    bgImg_ = new QLabel(this);
    bgImg_->setObjectName(QStringLiteral("BGImg"));
    bgImg_->setAccessibleName(QStringLiteral("Background"));
    bgImg_->setAutoFillBackground(true);
    QPalette bgPalette = bgImg_->palette();
    bgPalette.setBrush(QPalette::Window, QBrush(background_));
    bgImg_->setPalette(bgPalette);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 12);
    outer->setSpacing(0);

    titleImg_ = new QLabel(this);
    titleImg_->setObjectName(QStringLiteral("TITLEBGImg"));
    titleImg_->setAccessibleName(QStringLiteral("Banner"));
    titleImg_->setPixmap(title_);
    titleImg_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    titleImg_->setFixedSize(kContentWidth + 24, 40);
    outer->addWidget(titleImg_);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 10, 12, 0);
    body->setSpacing(6);
    outer->addLayout(body);

    auto caption = [this](const QString& text) {
        auto* label = new QLabel(text, this);
        label->setMinimumWidth(130);
        return label;
    };
    auto section = [this, body](const QString& text, const QString& name) {
        return AddOptionsSection(body, text, name, 1, this);
    };

    // Login information
    QGridLayout* login =
        section(QStringLiteral("Login information:"), QStringLiteral("LoginHeading"));
    QLabel* serverCaption = caption(QStringLiteral("Login to server:"));
    serverLogin_ = new QComboBox(this);
    serverLogin_->setObjectName(QStringLiteral("ServerLogin"));
    serverLogin_->setAccessibleName(serverCaption->text());
    serverCaption->setBuddy(serverLogin_);
    ApplyFieldColours(serverLogin_);
    login->addWidget(serverCaption, 0, 0);
    login->addWidget(serverLogin_, 0, 1);

    // General options
    QGridLayout* general =
        section(QStringLiteral("General options:"), QStringLiteral("GeneralHeading"));
    showMotd_ = new QCheckBox(QStringLiteral("Display Message of the day upon login"), this);
    showMotd_->setObjectName(QStringLiteral("ShowMOTD"));
    autoRefresh_ = new QCheckBox(QStringLiteral("Automatically refresh buddy list"), this);
    autoRefresh_->setObjectName(QStringLiteral("AutoRefresh"));
    intervalLabel_ = caption(QStringLiteral("Interval in minutes:"));
    intervalLabel_->setObjectName(QStringLiteral("IntvalLabel"));
    intval_ = new QLineEdit(this);
    intval_->setObjectName(QStringLiteral("Intval"));
    intval_->setAccessibleName(intervalLabel_->text());
    intval_->setMaxLength(2);
    intval_->setFixedWidth(40);
    // Keystrokes are filtered below; the validator also stops the context menu and drops.
    intval_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,2}")), intval_));
    intval_->installEventFilter(this);
    intervalLabel_->setBuddy(intval_);
    general->addWidget(showMotd_, 0, 0, 1, 2);
    general->addWidget(autoRefresh_, 1, 0, 1, 2);
    general->addWidget(intervalLabel_, 2, 0);
    general->addWidget(intval_, 2, 1, Qt::AlignLeft);

    // Chat settings
    QGridLayout* chat = section(QStringLiteral("Chat settings:"), QStringLiteral("ChatHeading"));
    QLabel* lobbyCaption = caption(QStringLiteral("Start in lobby:"));
    chatStart_ = new QComboBox(this);
    chatStart_->setObjectName(QStringLiteral("ChatStart"));
    chatStart_->setAccessibleName(lobbyCaption->text());
    lobbyCaption->setBuddy(chatStart_);
    ApplyFieldColours(chatStart_);
    chat->addWidget(lobbyCaption, 0, 0);
    chat->addWidget(chatStart_, 0, 1);

    // Sound settings
    QGridLayout* sound = section(QStringLiteral("Sound Settings:"), QStringLiteral("SoundHeading"));
    enableSnd_ = new QCheckBox(QStringLiteral("Enable background music"), this);
    enableSnd_->setObjectName(QStringLiteral("EnableSnd"));
    QLabel* volumeCaption = caption(QStringLiteral("Volume:"));
    sndVol_ = new QSlider(Qt::Horizontal, this);
    sndVol_->setObjectName(QStringLiteral("SndVol"));
    sndVol_->setAccessibleName(volumeCaption->text());
    sndVol_->setRange(0, 20);
    sndVol_->setPageStep(5);
    sndVol_->setTickPosition(QSlider::TicksBelow);
    sndVol_->setTickInterval(5);
    QPalette sliderPalette = sndVol_->palette();
    sliderPalette.setColor(QPalette::Highlight, theme::kOrange);
    sndVol_->setPalette(sliderPalette);
    volumeCaption->setBuddy(sndVol_);
    sound->addWidget(enableSnd_, 0, 0, 1, 2);
    sound->addWidget(volumeCaption, 1, 0);
    sound->addWidget(sndVol_, 1, 1);

    const OkCancelRow buttons = AddOkCancel(body, this);
    okBtn_ = buttons.ok;
    cancelBtn_ = buttons.cancel;
    if (controls == Controls::WithMoreOptions) {
        // Made last, so it comes after every classic control in the tab order; in the button row's
        // free left end, so none of them moves.
        moreOptions_ = new QPushButton(QStringLiteral("More options..."), this);
        moreOptions_->setObjectName(QStringLiteral("MoreOptions"));
        moreOptions_->setAccessibleName(QStringLiteral("More options"));
        moreOptions_->setAccessibleDescription(
            QStringLiteral("Settings beyond these: time stamps, logs, notifications, sounds"));
        moreOptions_->setAutoDefault(false);
        moreOptions_->setStyleSheet(PushButtonStyle());
        buttons.row->insertWidget(0, moreOptions_, 0, Qt::AlignBottom);
        connect(moreOptions_, &QPushButton::clicked, this, &SettingUI::OpenMoreOptions);
    }

    for (const QString& name : SplitList(kLobbyNames)) chatStart_->addItem(name);
    for (const QString& name : SplitList(kServerNames)) serverLogin_->addItem(name);

    // Before the first change of the check box the interval box looks and acts switched off.
    ApplyAutoRefreshLook(false);
    connect(autoRefresh_, &QCheckBox::toggled, this, &SettingUI::ApplyAutoRefreshLook);
    connect(okBtn_, &VantorBtn::Click, this, &SettingUI::OnOk);
    connect(cancelBtn_, &VantorBtn::Click, this, &SettingUI::reject);

    setFixedSize(sizeHint());
    bgImg_->setGeometry(rect());
    bgImg_->lower();
}

void SettingUI::ShowHeldValues() {
    autoRefresh_->setChecked(held_.Get(Held::AutoRefresh) == 1);
    intval_->setText(QString::number(held_.Get(Held::Interval)));
    chatStart_->setCurrentIndex(held_.Get(Held::Lobby));
    showMotd_->setChecked(held_.Get(Held::ShowMotd) == 1);
    serverLogin_->setCurrentIndex(held_.Get(Held::Server));
    enableSnd_->setChecked(held_.Get(Held::Music) == 1);
    sndVol_->setValue(held_.Get(Held::Volume));
}

void SettingUI::ApplyAutoRefreshLook(bool ticked) {
    SetTextColour(intervalLabel_, ticked ? theme::kWhite : theme::kGrey);
    QPalette palette = intval_->palette();
    palette.setColor(QPalette::Base, ticked ? theme::kDarkRed : theme::kGrey);
    palette.setColor(QPalette::Text, ticked ? theme::kOrange : theme::kDimOrange);
    intval_->setPalette(palette);
    intval_->setEnabled(ticked);
}

void SettingUI::ValidateInterval() {
    const auto fixed = interval::Validate(intval_->text().toStdString());
    if (fixed) intval_->setText(QString::fromStdString(*fixed));
}

bool SettingUI::FilterIntervalKey(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        const QString clip = QGuiApplication::clipboard()->text();
        return !interval::PasteAllowed(std::u16string_view(
            reinterpret_cast<const char16_t*>(clip.utf16()), std::size_t(clip.size())));
    }
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut) ||
        event->matches(QKeySequence::Undo)) {
        return false;
    }
    const QString text = event->text();
    if (text.isEmpty()) return false;  // arrows, Home, End and the like carry no character
    switch (event->key()) {
        // Moving between controls and closing the dialog stay with the keyboard.
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Delete:
            return false;
        default:
            break;
    }
    const bool control = (event->modifiers() & Qt::ControlModifier) != 0;
    return control || !interval::CharAllowed(text.at(0).unicode());
}

bool SettingUI::eventFilter(QObject* watched, QEvent* event) {
    if (watched == intval_) {
        if (event->type() == QEvent::KeyPress) {
            return FilterIntervalKey(static_cast<QKeyEvent*>(event));
        }
        if (event->type() == QEvent::FocusOut) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                ValidateInterval();
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void SettingUI::keyPressEvent(QKeyEvent* event) {
    // The image buttons are no push buttons, so the dialog has no default button of its own.
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        if (focusWidget() == cancelBtn_)
            reject();
        else if (moreOptions_ != nullptr && focusWidget() == moreOptions_)
            OpenMoreOptions();
        else
            OnOk();
        return;
    }
    QDialog::keyPressEvent(event);
}

void SettingUI::OpenMoreOptions() {
    // A window of its own each time, so it shows what the store holds at that moment.
    MoreOptionsUI more(this);
    more.move(geometry().center() - more.rect().center());
    more.exec();
}

void SettingUI::OnOk() {
    HeldValues values = held_.Values();
    values[int(Held::AutoRefresh)] = autoRefresh_->isChecked() ? 1 : 0;
    values[int(Held::Lobby)] = chatStart_->currentIndex();
    values[int(Held::Interval)] =
        interval::FromText(intval_->text().toStdString(), held_.Get(Held::Interval));
    values[int(Held::ShowMotd)] = showMotd_->isChecked() ? 1 : 0;
    values[int(Held::Server)] = serverLogin_->currentIndex();
    values[int(Held::Music)] = enableSnd_->isChecked() ? 1 : 0;
    values[int(Held::Volume)] = sndVol_->value();
    held_.Commit(values);
    // The box shows what is now held (an emptied box gets the kept interval back).
    intval_->setText(QString::number(held_.Get(Held::Interval)));
    accept();
}

void SettingUI::reject() {
    QDialog::reject();
    ShowHeldValues();
}

SettingUI* SettingUI::Instance() {
    return g_instance;
}

}  // namespace vantor
