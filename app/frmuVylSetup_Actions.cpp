// The device actions: each one a short serial connection (open, handshake, frames, close), and
// only one at a time.
//
// Why one at a time: the link's reply waits keep the event loop running, so without a guard a
// second click would open its own connection and close the port under the exchange still
// waiting. A click that arrives while an action runs is dropped, never run afterwards.

#include "frmuVylSetup.h"

#include "untBaudRate.h"
#include "untCmd_RV310.h"
#include "untCodePage.h"
#include "untCodePageText.h"
#include "untComm.h"
#include "untCommandMode.h"
#include "untHex.h"
#include "untInterChar.h"
#include "untLanguage.h"
#include "untMessageBox.h"
#include "untSystemInfo.h"
#include "untUtf16.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

namespace {

// A box shown in the middle of an action gets the ordinary arrow: the busy cursor is for the
// window, not for the question the user has to answer.
TMsgResult ActionMessage(const QString& text, TMsgStyle style, const QString& detail = {}) {
    const bool busyCursor = QApplication::overrideCursor() != nullptr;
    if (busyCursor)
        QApplication::restoreOverrideCursor();
    const TMsgResult result = ShowMessageBox(text, style, detail);
    if (busyCursor)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    return result;
}

void ShowResult(bool sent) {
    if (sent)
        ActionMessage(QStringLiteral("Done!"), TMsgStyle::Information);
    else
        ActionMessage(QStringLiteral("Fail!"), TMsgStyle::Warning);
}

// A fixed pause between frames: the display needs the time to store a welcome line. The window
// takes no input meanwhile (clicks wait and are then dropped as clicks during an action), but it
// still repaints.
void Pause(int ms) {
    if (QCoreApplication::instance() == nullptr) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(ms);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

bool ReasonIs(const std::string& reason, int error) {
    return reason.find(std::strerror(error)) != std::string::npos;
}

// The system's reason for a failed open, with what the user can do about the usual ones.
QString OpenFailureDetail(bool chinese) {
    const std::string reason = LastOpenError();
    QString hint;
    if (CurrentPortName.empty())
        hint = chinese ? QStringLiteral("没有列出串口：请连接显示屏后按“刷新”。")
                       : QStringLiteral("No serial port is listed: connect the display and "
                                        "press Refresh.");
    else if (ReasonIs(reason, EACCES) || ReasonIs(reason, EPERM))
        hint = chinese ? QStringLiteral("当前用户无权使用串口：请把用户加入 dialout 组"
                                        "（sudo usermod -aG dialout $USER），然后重新登录。")
                       : QStringLiteral("Your user may not use serial ports: add it to the "
                                        "dialout group (sudo usermod -aG dialout $USER) and log "
                                        "in again.");
    else if (ReasonIs(reason, EBUSY) || ReasonIs(reason, EAGAIN))
        hint = chinese ? QStringLiteral("另一个程序正在使用该串口。")
                       : QStringLiteral("Another program is using the port.");
    else if (ReasonIs(reason, ENOENT) || ReasonIs(reason, ENODEV) || ReasonIs(reason, ENXIO))
        hint = chinese ? QStringLiteral("该串口不存在：请按“刷新”并选择列出的串口。")
                       : QStringLiteral("The port is not there: press Refresh and choose a "
                                        "listed port.");
    QString detail = QString::fromStdString(reason);
    if (!hint.isEmpty())
        detail += (detail.isEmpty() ? QString() : QStringLiteral("\n")) + hint;
    return detail;
}

// Closes the connection on every way out of an action's steps, an exception included (the
// exception then goes on to the general report).
struct TConnectionGuard {
    TConnectionGuard() = default;
    ~TConnectionGuard() { CloseComm(); }
    TConnectionGuard(const TConnectionGuard&) = delete;
    TConnectionGuard& operator=(const TConnectionGuard&) = delete;
};

// The "Get Setting" summary: six lines "label value", each ended by CR, the last one too.
QString SettingsSummary() {
    const auto line = [](const QString& label, const QString& value) {
        return label + QLatin1Char(' ') + value + QLatin1Char('\r');
    };
    return line(ModelLabel, QString::fromStdString(SystemInfo.product_name)) +
           line(FirmwareVersionLabel, QString::number(SystemInfo.firmware_version)) +
           line(BaudRateLabel,
                QString::fromStdString(NameOfNo(BaudRateTable, SystemInfo.Baud_Rate))) +
           line(CommandSetLabel,
                QString::fromStdString(NameOfNo(CommandModeTable, SystemInfo.Comm_No))) +
           line(InterCharLabel,
                QString::fromStdString(NameOfNo(InterCharTable, SystemInfo.Char_No))) +
           line(CodePageLabel,
                QString::fromStdU16String(NameOfNo(CodePageTable, SystemInfo.Expand_Char_No)));
}

} // namespace

void TfrmVylSetup::RunDeviceAction(const std::function<void()>& steps) {
    if (actionRunning_)
        return; // held off: a second connection would close the port under this one
    actionRunning_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct TEnd {
        TfrmVylSetup* Form;
        ~TEnd() { Form->EndDeviceAction(); }
    } end{this};
    steps();
}

void TfrmVylSetup::EndDeviceAction() {
    QApplication::restoreOverrideCursor();
    // Clicks that came in during the action are still queued (the pauses take no input). They
    // are delivered before the flag clears, so they find the action running and are dropped.
    QMetaObject::invokeMethod(
        this,
        [this] {
            QCoreApplication::processEvents();
            actionRunning_ = false;
            if (closeWhenIdle_) {
                closeWhenIdle_ = false;
                close();
            }
        },
        Qt::QueuedConnection);
}

void TfrmVylSetup::closeEvent(QCloseEvent* event) {
    if (actionRunning_) {
        // Closing now would end the program under an exchange that still waits; the window
        // closes as soon as the action is over.
        closeWhenIdle_ = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TfrmVylSetup::WithConnection(const std::function<void()>& steps) {
    if (!OpenComm(Utf16ToUtf8(CurrentPortName), CurrentBaudRate)) {
        ActionMessage(QStringLiteral("SerialPort Open Failed"), TMsgStyle::Error,
                      OpenFailureDetail(IsChineseLangID(LangID)));
        return;
    }
    TConnectionGuard connection;
    steps();
}

void TfrmVylSetup::StandardHandShake() {
    if (HandShake() != 0)
        ActionMessage(HandShakeFailMessage, TMsgStyle::Error);
}

void TfrmVylSetup::btn_GetSettingClick() {
    RunDeviceAction([this] {
        WithConnection([this] {
            SystemInfo.jpos = HandShakeJpos() == 0;
            const ByteString reply = DSP_GetSettings();
            if (reply.empty()) {
                ActionMessage(QStringLiteral("Get Settings Error!"), TMsgStyle::Warning);
                return;
            }
            const TParseResult parsed = ParseSettingsJson(Utf8ToUtf16(reply));
            if (!parsed.Success) {
                ActionMessage(QString::fromStdString(parsed.Error), TMsgStyle::Warning);
                return;
            }
            RefreshSettings();
            ActionMessage(SettingsSummary(), TMsgStyle::Information);
        });
    });
}

void TfrmVylSetup::btn_commandSetClick() {
    RunDeviceAction([this] {
        WithConnection([this] {
            StandardHandShake();
            SystemInfoChange();
            ShowResult(DSP_SetCommand(SystemInfo.Comm_No) == COMM_OK);
        });
    });
}

void TfrmVylSetup::btn_baudrateSetClick() {
    RunDeviceAction([this] {
        WithConnection([this] {
            StandardHandShake();
            SystemInfoChange();
            // Without a chosen speed there is nothing to send: the code 255 is no speed of the
            // display, and moving the window to 9600 after it would lose the display.
            const int index = cbb_BaudRate_Set->currentIndex();
            const bool sent = index >= 0 && DSP_SetBaudrate(SystemInfo.Baud_Rate) == COMM_OK;
            if (sent) {
                // The display now listens at the new speed: so must the next connection.
                cbb_BaudRate->setCurrentIndex(index);
                CurrentBaudRate = BaudRateOfText(cbb_BaudRate->currentText());
            }
            ShowResult(sent);
        });
    });
}

void TfrmVylSetup::btn_brightness_setClick() {
    RunDeviceAction([this] {
        WithConnection([this] {
            StandardHandShake();
            SystemInfoChange();
            ShowResult(DSP_SetBrightness(SystemInfo.back_light) == COMM_OK);
        });
    });
}

void TfrmVylSetup::btn_DownloadSettingClick() {
    RunDeviceAction([this] {
        WithConnection([this] {
            StandardHandShake();
            SystemInfoChange();
            // What the hex views hold is what goes out, not a new conversion of the lines.
            const ByteString line1 = HexTextToBytes(SystemInfo.wel_mess1_hex);
            const ByteString line2 = HexTextToBytes(SystemInfo.wel_mess2_hex);
            bool sent = DSP_SetWelMsg1(line1) == COMM_OK;
            Pause(1500);
            sent = DSP_SetWelMessage_2(line2) == COMM_OK && sent;
            Pause(1500);
            sent = DSP_SetWelMessage_2_Scroll(chk_Scroll2->isChecked()) == COMM_OK && sent;
            Pause(500);
            ShowResult(sent);
        });
    });
}

void TfrmVylSetup::btn_DownloadCodePageClick() {
    RunDeviceAction([this] {
        WithConnection([this] {
            StandardHandShake();
            // Straight from the two radio groups: SystemInfo is left as it is.
            bool sent =
                DSP_SetCharset(NoAtIndex(InterCharTable, rg_InterChar_Set->ItemIndex())) == COMM_OK;
            Pause(100);
            sent = DSP_SetCodepage(NoAtIndex(CodePageTable, rg_CodePage_Set->ItemIndex())) ==
                       COMM_OK &&
                   sent;
            ShowResult(sent);
        });
    });
}

void TfrmVylSetup::btn_RestartDisplayClick() {
    RunDeviceAction([this] { WithConnection([] { DSP_Restart(); }); });
}

void TfrmVylSetup::btn_ClearDisplayClick() {
    RunDeviceAction([this] { WithConnection([] { DSP_ClearScreen(); }); });
}

void TfrmVylSetup::btn_TextSendClick() {
    RunDeviceAction([this] {
        WithConnection([this] {
            const int codePage = CodePageAtIndex(cbb_codepage_Test->currentIndex());
            const ByteString bytes =
                TextToCodePageBytes(edt_Text->text().toStdU16String(), codePage);
            if (chk_PositionAt->isChecked())
                DSP_DisplayTextAt(bytes, ud_Row->Position(), ud_Column->Position());
            else
                DSP_DisplayText(bytes);
        });
    });
}
