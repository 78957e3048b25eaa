// SPDX-License-Identifier: Apache-2.0
// The device actions: the window gathers the values an action needs, hands it to the display
// session (which runs it on its own thread) and presents what comes back. One action at a time:
// a click while one runs is dropped, never run afterwards.

#include "frmuVylSetup.h"

#include "untActionTexts.h"
#include "untBaudRate.h"
#include "untCodePage.h"
#include "untDisplaySession.h"
#include "untHex.h"
#include "untInterChar.h"
#include "untLanguage.h"
#include "untMessageBox.h"
#include "untSystemInfo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>

#include <string>
#include <utility>

// A box shown in the middle of an action gets the ordinary arrow: the busy cursor is for the
// window, not for the question the user has to answer.
TMsgResult ActionMessage(const QString& text, TMsgStyle style, const QString& detail) {
    const bool busyCursor = QApplication::overrideCursor() != nullptr;
    if (busyCursor)
        QApplication::restoreOverrideCursor();
    const TMsgResult result = ShowMessageBox(text, style, detail);
    if (busyCursor)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    return result;
}

namespace {

TMsgStyle BoxStyle(TMessageStyle style) {
    switch (style) {
    case TMessageStyle::Error:
        return TMsgStyle::Error;
    case TMessageStyle::Warning:
        return TMsgStyle::Warning;
    case TMessageStyle::Information:
        break;
    }
    return TMsgStyle::Information;
}

} // namespace

void TfrmVylSetup::DeviceActionStarted(bool started, std::optional<TSystemInfo> captured) {
    if (!started)
        return;
    actionRunning_ = true;
    captured_ = std::move(captured);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

TSystemInfo TfrmVylSetup::CapturedSettings() const {
    TSystemInfo captured = SystemInfo;
    CaptureControls(captured);
    return captured;
}

void TfrmVylSetup::SessionMessage(const TActionMessage& message) {
    // The action waits for the user to see a failed handshake; every other message is shown
    // once the action is over, after its records are in the window.
    if (message.Kind != TMessageKind::HandShakeFailed || ending_)
        return;
    ActionMessage(HandShakeFailMessage(), TMsgStyle::Error);
    // A request to end closed the box: the action was cancelled first and sends nothing more.
    if (!ending_)
        session_->Continue();
}

void TfrmVylSetup::ShowActionMessage(const TActionMessage& message, const TActionResult& result) {
    switch (message.Kind) {
    case TMessageKind::HandShakeFailed:
        break; // shown while the action waited
    case TMessageKind::OpenFailed:
        ActionMessage(QStringLiteral("SerialPort Open Failed"), TMsgStyle::Error,
                      OpenFailureDetail(result, TFrontEnd::Window));
        break;
    case TMessageKind::Summary:
        if (result.Summary)
            ActionMessage(SettingsSummaryText(*result.Summary), TMsgStyle::Information);
        break;
    case TMessageKind::Disconnected:
        ActionMessage(DisconnectedText(), TMsgStyle::Warning,
                      DisconnectedDetail(TFrontEnd::Window));
        break;
    case TMessageKind::Fail:
        ActionMessage(QString::fromStdString(message.Text), BoxStyle(message.Style), failDetail_);
        break;
    case TMessageKind::Done:
    case TMessageKind::GetSettingsError:
    case TMessageKind::ParseError:
    case TMessageKind::Error:
        ActionMessage(QString::fromStdString(message.Text), BoxStyle(message.Style));
        break;
    }
}

void TfrmVylSetup::SessionFinished(const TActionResult& result) {
    struct TEnd {
        TfrmVylSetup* Form;
        ~TEnd() { Form->EndDeviceAction(); }
    } end{this};
    if (searching_)
        SearchEnded();
    if (ending_)
        return; // no record written back, no box
    ApplyResult(result);
    for (const TActionMessage& message : result.Messages) {
        if (ending_)
            break; // a request to end came while a box was open
        ShowActionMessage(message, result);
    }
}

void TfrmVylSetup::ApplyResult(const TActionResult& result) {
    // A setting action's captured controls count once the port has opened.
    if (const std::optional<TSystemInfo> captured = std::exchange(captured_, {});
        captured && result.Opened)
        SystemInfo = *captured;
    // "Get Setting": the controls follow only a complete read; what was read before a failure
    // stays in the record all the same.
    if (result.Settings)
        SystemInfo = *result.Settings;
    if (result.SettingsComplete)
        RefreshSettings();
    // The display now listens at the new speed, and the session's target has followed it.
    if (result.NewBaudRate)
        cbb_BaudRate->setCurrentIndex(IndexOfBitsPerSecond(*result.NewBaudRate));
    if (result.Search)
        ShowSearchResult(result);
}

void TfrmVylSetup::EndDeviceAction() {
    QApplication::restoreOverrideCursor();
    failDetail_.clear();
    // Clicks that came in while the last box was open are still queued. They are delivered
    // before the flag clears, so they find the action running and are dropped.
    QMetaObject::invokeMethod(
        this,
        [this] {
            QCoreApplication::processEvents();
            actionRunning_ = false;
            if (portsChangedMeanwhile_)
                FollowPortList();
            const std::function<void()> next = std::exchange(afterAction_, {});
            if (closeWhenIdle_) {
                closeWhenIdle_ = false;
                close();
            } else if (next) {
                next();
            }
        },
        Qt::QueuedConnection);
}

void TfrmVylSetup::closeEvent(QCloseEvent* event) {
    if (actionRunning_) {
        // Asked to end while an action runs: it is cancelled at once (no further frame), the
        // box it may have open is closed unanswered, and the window closes once the session
        // has released the port.
        ending_ = true;
        closeWhenIdle_ = true;
        session_->Cancel();
        if (QWidget* box = QApplication::activeModalWidget())
            if (auto* dialog = qobject_cast<QDialog*>(box))
                dialog->reject();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TfrmVylSetup::btn_GetSettingClick() {
    if (DeviceActionIdle())
        DeviceActionStarted(session_->GetSettings(SystemInfo));
}

void TfrmVylSetup::btn_commandSetClick() {
    const TSystemInfo captured = CapturedSettings();
    if (DeviceActionIdle())
        DeviceActionStarted(session_->SetCommand(captured.Comm_No), captured);
}

void TfrmVylSetup::btn_baudrateSetClick() {
    const TSystemInfo captured = CapturedSettings();
    if (!DeviceActionIdle())
        return;
    DeviceActionStarted(session_->SetBaudRate(captured.Baud_Rate), captured);
    // Without a speed chosen nothing can go out: the "Fail!" says what to do.
    if (actionRunning_ && cbb_BaudRate_Set->currentIndex() < 0)
        failDetail_ = NoSpeedChosenDetail();
}

void TfrmVylSetup::btn_brightness_setClick() {
    const TSystemInfo captured = CapturedSettings();
    if (DeviceActionIdle())
        DeviceActionStarted(session_->SetBrightness(captured.back_light), captured);
}

void TfrmVylSetup::btn_DownloadSettingClick() {
    const TSystemInfo captured = CapturedSettings();
    // What the hex views hold is what goes out, not a new conversion of the lines.
    if (DeviceActionIdle())
        DeviceActionStarted(session_->SetWelcome(HexTextToBytes(captured.wel_mess1_hex),
                                                 HexTextToBytes(captured.wel_mess2_hex),
                                                 chk_Scroll2->isChecked()),
                            captured);
}

void TfrmVylSetup::btn_DownloadCodePageClick() {
    // Straight from the two radio groups: SystemInfo is left as it is.
    if (DeviceActionIdle())
        DeviceActionStarted(
            session_->SetCodePage(NoAtIndex(InterCharTable, rg_InterChar_Set()->ItemIndex()),
                                  NoAtIndex(CodePageTable, rg_CodePage_Set()->ItemIndex())));
}

void TfrmVylSetup::btn_RestartDisplayClick() {
    if (DeviceActionIdle())
        DeviceActionStarted(session_->Restart());
}

void TfrmVylSetup::btn_ClearDisplayClick() {
    if (DeviceActionIdle())
        DeviceActionStarted(session_->Clear());
}

void TfrmVylSetup::btn_TextSendClick() {
    std::optional<TTextPosition> position;
    if (chk_PositionAt()->isChecked())
        position = TTextPosition{ud_Row()->Position(), ud_Column()->Position()};
    if (DeviceActionIdle())
        DeviceActionStarted(
            session_->DisplayText(edt_Text()->text().toStdU16String(),
                                  CodePageAtIndex(cbb_codepage_Test()->currentIndex()), position));
}
