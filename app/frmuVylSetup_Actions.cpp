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
#include "untUtf16.h"

#include <QApplication>
#include <QCloseEvent>

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

void TfrmVylSetup::StartDeviceAction(const TActionStart& start, TActionApply apply) {
    if (actionRunning_)
        return; // held off: one action at a time
    const TSessionTarget target{Utf16ToUtf8(CurrentPortName), CurrentBaudRate};
    if (!start(*session_, target))
        return;
    actionRunning_ = true;
    applyResult_ = std::move(apply);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TfrmVylSetup::SessionMessage(const TActionMessage& message) {
    // The action waits for the user to see a failed handshake; every other message is shown
    // once the action is over, after its records are in the window.
    if (message.Kind != TMessageKind::HandShakeFailed)
        return;
    ActionMessage(HandShakeFailMessage, TMsgStyle::Error);
    session_->Continue();
}

void TfrmVylSetup::ShowActionMessage(const TActionMessage& message, const TActionResult& result) {
    const bool chinese = IsChineseLangID(LangID);
    switch (message.Kind) {
    case TMessageKind::HandShakeFailed:
        break; // shown while the action waited
    case TMessageKind::OpenFailed:
        ActionMessage(QStringLiteral("SerialPort Open Failed"), TMsgStyle::Error,
                      OpenFailureDetail(result, chinese, TFrontEnd::Window));
        break;
    case TMessageKind::Summary:
        if (result.Summary)
            ActionMessage(SettingsSummaryText(*result.Summary), TMsgStyle::Information);
        break;
    case TMessageKind::Disconnected:
        ActionMessage(DisconnectedText(chinese), TMsgStyle::Warning,
                      DisconnectedDetail(chinese, TFrontEnd::Window));
        break;
    case TMessageKind::Done:
    case TMessageKind::Fail:
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
    const TActionApply apply = std::move(applyResult_);
    applyResult_ = {};
    if (apply)
        apply(result);
    for (const TActionMessage& message : result.Messages)
        ShowActionMessage(message, result);
}

void TfrmVylSetup::EndDeviceAction() {
    QApplication::restoreOverrideCursor();
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
        // The window closes as soon as the action is over: the display is left in a known
        // state and the port released.
        closeWhenIdle_ = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TfrmVylSetup::btn_GetSettingClick() {
    StartDeviceAction(
        [](TDisplaySession& session, const TSessionTarget& target) {
            return session.GetSettings(target, SystemInfo);
        },
        [this](const TActionResult& result) {
            // The controls follow only a complete read; what was read before a failure stays in
            // the record all the same.
            if (result.Settings)
                SystemInfo = *result.Settings;
            if (result.SettingsComplete)
                RefreshSettings();
        });
}

void TfrmVylSetup::btn_commandSetClick() {
    TSystemInfo captured = SystemInfo;
    CaptureControls(captured);
    StartDeviceAction(
        [captured](TDisplaySession& session, const TSessionTarget& target) {
            return session.SetCommand(target, captured.Comm_No);
        },
        [captured](const TActionResult& result) {
            if (result.Opened)
                SystemInfo = captured;
        });
}

void TfrmVylSetup::btn_baudrateSetClick() {
    TSystemInfo captured = SystemInfo;
    CaptureControls(captured);
    StartDeviceAction(
        [captured](TDisplaySession& session, const TSessionTarget& target) {
            return session.SetBaudRate(target, captured.Baud_Rate);
        },
        [this, captured](const TActionResult& result) {
            if (result.Opened)
                SystemInfo = captured;
            if (!result.NewBaudRate)
                return;
            // The display now listens at the new speed: so must the next connection.
            cbb_BaudRate->setCurrentIndex(IndexOfNo(BaudRateTable, captured.Baud_Rate));
            CurrentBaudRate = BaudRateOfText(cbb_BaudRate->currentText());
        });
}

void TfrmVylSetup::btn_brightness_setClick() {
    TSystemInfo captured = SystemInfo;
    CaptureControls(captured);
    StartDeviceAction(
        [captured](TDisplaySession& session, const TSessionTarget& target) {
            return session.SetBrightness(target, captured.back_light);
        },
        [captured](const TActionResult& result) {
            if (result.Opened)
                SystemInfo = captured;
        });
}

void TfrmVylSetup::btn_DownloadSettingClick() {
    TSystemInfo captured = SystemInfo;
    CaptureControls(captured);
    // What the hex views hold is what goes out, not a new conversion of the lines.
    const ByteString line1 = HexTextToBytes(captured.wel_mess1_hex);
    const ByteString line2 = HexTextToBytes(captured.wel_mess2_hex);
    const bool scroll = chk_Scroll2->isChecked();
    StartDeviceAction(
        [line1, line2, scroll](TDisplaySession& session, const TSessionTarget& target) {
            return session.SetWelcome(target, line1, line2, scroll);
        },
        [captured](const TActionResult& result) {
            if (result.Opened)
                SystemInfo = captured;
        });
}

void TfrmVylSetup::btn_DownloadCodePageClick() {
    // Straight from the two radio groups: SystemInfo is left as it is.
    const int charset = NoAtIndex(InterCharTable, rg_InterChar_Set->ItemIndex());
    const int codePage = NoAtIndex(CodePageTable, rg_CodePage_Set->ItemIndex());
    StartDeviceAction([charset, codePage](TDisplaySession& session, const TSessionTarget& target) {
        return session.SetCodePage(target, charset, codePage);
    });
}

void TfrmVylSetup::btn_RestartDisplayClick() {
    StartDeviceAction([](TDisplaySession& session, const TSessionTarget& target) {
        return session.Restart(target);
    });
}

void TfrmVylSetup::btn_ClearDisplayClick() {
    StartDeviceAction([](TDisplaySession& session, const TSessionTarget& target) {
        return session.Clear(target);
    });
}

void TfrmVylSetup::btn_TextSendClick() {
    const int codePage = CodePageAtIndex(cbb_codepage_Test->currentIndex());
    const std::u16string text = edt_Text->text().toStdU16String();
    std::optional<TTextPosition> position;
    if (chk_PositionAt->isChecked())
        position = TTextPosition{ud_Row->Position(), ud_Column->Position()};
    StartDeviceAction(
        [text, codePage, position](TDisplaySession& session, const TSessionTarget& target) {
            return session.DisplayText(target, text, codePage, position);
        });
}
