// SPDX-License-Identifier: Apache-2.0
#include "frmuVylSetup.h"

#include "untBaudRate.h"
#include "untDisplaySession.h"
#include "untLangID.h"
#include "untLanguage.h"
#include "untListNames.h"
#include "untSettingsValues.h"
#include "untSystemInfo.h"
#include "untUtf16.h"
#include "untVersion.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <string>
#include <vector>

namespace {

constexpr int ClientWidth = 829;
constexpr int ClientHeight = 664;

} // namespace

TfrmVylSetup::TfrmVylSetup(QWidget* parent) : QWidget(parent) {
    // A fixed single border with a system menu and a minimise button, no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(ClientWidth, ClientHeight);
    session_ = new TDisplaySession(this);
    connect(session_, &TDisplaySession::MessageReported, this,
            [this](const TActionMessage& message) {
                RunGuarded([this, &message] { SessionMessage(message); });
            });
    connect(session_, &TDisplaySession::Finished, this, [this](const TActionResult& result) {
        RunGuarded([this, &result] { SessionFinished(result); });
    });
    CreateControls();
    CreateDisplayPictures();
    ConnectHandlers();
    FormCreate();
    LabelDisplayPictures();
    CreatePortWatch();
    CenterOnScreen();
}

void TfrmVylSetup::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    // What does nothing for the first picture comes once the window has been painted: the
    // port watch (arming it visits every device node in /dev) and the window icon.
    if (!firstPainted_) {
        firstPainted_ = true;
        QTimer::singleShot(0, this, [this] {
            RunGuarded([this] {
                StartPortWatch();
                ShowApplicationIcon();
            });
        });
    }
}

void TfrmVylSetup::ConnectHandlers() {
    OnEvent(btn_Default, &QPushButton::clicked, &TfrmVylSetup::btn_DefaultClick);
    OnEvent(btn_Exit, &QPushButton::clicked, &TfrmVylSetup::btn_ExitClick);
    OnEvent(cbb_SerialPort, &QComboBox::activated, &TfrmVylSetup::cbb_SerialPortChange);
    OnEvent(cbb_BaudRate, &QComboBox::activated, &TfrmVylSetup::cbb_BaudRateChange);
    OnEvent(btn_enumComPorts, &QPushButton::clicked, &TfrmVylSetup::btn_enumComPortsClick);
    OnEvent(cbb_CodePage_Msg, &QComboBox::activated, &TfrmVylSetup::cbb_CodePage_MsgChange);
    // A change of the line text by the program counts too (RefreshSettings, Center).
    OnEvent(edt_line1, &QLineEdit::textChanged, &TfrmVylSetup::edt_line1Change);
    OnEvent(edt_line2, &QLineEdit::textChanged, &TfrmVylSetup::edt_line2Change);
    OnEvent(btn_welText_center, &QPushButton::clicked, &TfrmVylSetup::btn_welText_centerClick);
    OnEvent(btn_savesettings, &QPushButton::clicked, &TfrmVylSetup::btn_savesettingsClick);
    OnEvent(btn_loadsettings, &QPushButton::clicked, &TfrmVylSetup::btn_loadsettingsClick);
    // The device actions; the other pages' controls are wired as their pages are made, the
    // range buttons by actButtonCreat.
    OnEvent(btn_GetSetting, &QPushButton::clicked, &TfrmVylSetup::btn_GetSettingClick);
    OnEvent(btn_commandSet, &QPushButton::clicked, &TfrmVylSetup::btn_commandSetClick);
    OnEvent(btn_baudrateSet, &QPushButton::clicked, &TfrmVylSetup::btn_baudrateSetClick);
    OnEvent(btn_brightness_set, &QPushButton::clicked, &TfrmVylSetup::btn_brightness_setClick);
    OnEvent(btn_DownloadSetting, &QPushButton::clicked, &TfrmVylSetup::btn_DownloadSettingClick);
    OnEvent(btn_RestartDisplay, &QPushButton::clicked, &TfrmVylSetup::btn_RestartDisplayClick);
    OnEvent(btn_FindDisplay, &QPushButton::clicked, &TfrmVylSetup::btn_FindDisplayClick);
    // The other two pages are made when first shown.
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        RunGuarded([this, index] {
            if (PageControl1->widget(index) == tsCodepageSet)
                CodePagePage();
            else if (PageControl1->widget(index) == tsDisplayTest)
                TestPage();
        });
    });
}

void TfrmVylSetup::FormCreate() {
    // Caption: title, " v", major.minor.release of the program file.
    setWindowTitle(ApplicationTitle + QStringLiteral(" v") +
                   QString::fromStdString(GetFileVersionText(ProgramFilePath())));
    // The first page.
    PageControl1->setCurrentWidget(tsBasicSet);
    // The system's language, for the lists below and every text after.
    LangID = GetSystemDefaultLangID();
    SetProcessLanguage(LangID);
    // Serial ports.
    FillPortList();
    // Speeds: both lists; the port speed list starts at the first entry ("9600").
    cbb_BaudRate_Set->clear();
    cbb_BaudRate->clear();
    cbb_BaudRate_Set->addItems(ListItems(TSettingList::BaudRate));
    cbb_BaudRate->addItems(ListItems(TSettingList::BaudRate));
    cbb_BaudRate_Set->setCurrentIndex(-1);
    cbb_BaudRate->setCurrentIndex(0);
    // Command modes.
    cbb_CommandMode_Set->clear();
    cbb_CommandMode_Set->addItems(ListItems(TSettingList::CommandMode));
    // Character sets, in the system's language, and code pages, the same rows in all three
    // selectors (the other pages take theirs when they are made).
    interCharItems_ = ListItems(TSettingList::InterChar);
    interCharIndex_ = 0;
    codePageItems_ = ListItems(TSettingList::CodePage);
    cbb_CodePage_Msg->clear();
    cbb_CodePage_Msg->addItems(codePageItems_);
    // Language.
    SelectLanguage(LangID);
    // The default settings.
    DefaultSetting();
    // Port and speed of the next connection.
    cbb_SerialPortChange();
    cbb_BaudRateChange();
    // Line 1 never scrolls on this display: its box stays hidden, its bit is only stored.
    grp_Settings->setEnabled(true);
    chk_Scroll1->hide();
    edt_line2->SetTypingLimit(WelcomeLine2Limit);
}

bool TfrmVylSetup::ReadPorts(std::vector<std::string>& ports) const {
    return listPorts_ ? listPorts_(ports) : TDisplaySession::ListPorts(ports);
}

void TfrmVylSetup::FillPortList() {
    std::vector<std::string> ports;
    if (ReadPorts(ports)) {
        cbb_SerialPort->clear();
        for (const std::string& port : ports)
            cbb_SerialPort->addItem(QString::fromStdString(port));
        cbb_SerialPort->setToolTip({});
    }
    if (cbb_SerialPort->count() > 0)
        cbb_SerialPort->setCurrentIndex(0);
}

void TfrmVylSetup::CenterOnScreen() {
    const QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (target == nullptr)
        return;
    const QRect available = target->availableGeometry();
    move(available.center() - rect().center());
}

void TfrmVylSetup::btn_ExitClick() {
    close();
}

void TfrmVylSetup::cbb_SerialPortChange() {
    SetCurrentPortName(cbb_SerialPort->currentText().toStdU16String());
}

void TfrmVylSetup::cbb_BaudRateChange() {
    const int row = cbb_BaudRate->currentIndex();
    SetCurrentBaudRate(row >= 0 ? BaudRateTable[static_cast<std::size_t>(row)].BitsPerSecond
                                : 9600);
}

void TfrmVylSetup::btn_enumComPortsClick() {
    // Held off while an action runs: the session's target must not move under it.
    if (!DeviceActionIdle())
        return;
    FillPortList();
    cbb_SerialPortChange();
}

std::u16string TfrmVylSetup::CurrentPortName() const {
    return Utf8ToUtf16(session_->Target().PortName);
}

int TfrmVylSetup::CurrentBaudRate() const {
    return session_->Target().BaudRate;
}

void TfrmVylSetup::SetCurrentPortName(const std::u16string& portName) {
    session_->SetTarget({Utf16ToUtf8(portName), session_->Target().BaudRate});
}

void TfrmVylSetup::SetCurrentBaudRate(int baudRate) {
    session_->SetTarget({session_->Target().PortName, baudRate});
}
