// SPDX-License-Identifier: Apache-2.0
// Find Display: the session searches the selected port from the selected speed on; the window
// selects the port and speed it found, or says what was tried and offers to search every listed
// port (probes to other devices only when the user says so).

#include "frmuVylSetup.h"

#include "untBaudRate.h"
#include "untDisplaySession.h"
#include "untLanguage.h"
#include "untMessageBox.h"
#include "untSearchTexts.h"

#include <QKeySequence>
#include <QShortcut>
#include <QTimer>

#include <string>
#include <vector>

void TfrmVylSetup::btn_FindDisplayClick() {
    // While the search runs the button is its Cancel.
    if (searching_) {
        session_->Cancel();
        return;
    }
    FindDisplay(false);
}

void TfrmVylSetup::RereadPortList() {
    const QString selected = cbb_SerialPort->currentText();
    FillPortList();
    const int kept = cbb_SerialPort->findText(selected);
    if (kept >= 0)
        cbb_SerialPort->setCurrentIndex(kept);
    cbb_SerialPortChange();
}

void TfrmVylSetup::FindDisplay(bool everyPort) {
    if (!DeviceActionIdle())
        return;
    // A port plugged in since the list was read is searched too.
    RereadPortList();
    if (cbb_SerialPort->count() == 0) {
        ActionMessage(NoPortToSearchText(), TMsgStyle::Warning);
        return;
    }
    TSearchRequest request;
    for (int i = 0; everyPort && i < cbb_SerialPort->count(); ++i)
        request.Ports.push_back(cbb_SerialPort->itemText(i).toStdString());
    if (!everyPort)
        request.Ports.push_back(session_->Target().PortName);
    request.FirstRate = session_->Target().BaudRate;
    // From the ports' threads; the timer shows it on the window's.
    request.Trying = [note = tryingNote_](const std::string& port, int rate) {
        const std::lock_guard lock(note->Mutex);
        note->Port = port;
        note->Rate = rate;
    };
    searchEveryPort_ = everyPort;
    DeviceActionStarted(session_->FindDisplay(request));
    if (!actionRunning_)
        return;
    searching_ = true;
    btn_FindDisplay->setText(CancelSearchCaption());
    if (cancelSearch_ == nullptr) {
        cancelSearch_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        connect(cancelSearch_, &QShortcut::activated, this, [this] {
            if (searching_)
                session_->Cancel();
        });
    }
    cancelSearch_->setEnabled(true);
    if (tryingTimer_ == nullptr) {
        tryingTimer_ = new QTimer(this);
        connect(tryingTimer_, &QTimer::timeout, this, [this] {
            std::string port;
            int rate = 0;
            {
                const std::lock_guard lock(tryingNote_->Mutex);
                port = tryingNote_->Port;
                rate = tryingNote_->Rate;
            }
            if (port.empty())
                return;
            const QString text = TryingText(port, rate);
            if (StatusBar1->currentMessage() != text)
                StatusBar1->showMessage(text);
        });
    }
    tryingTimer_->start(50);
}

void TfrmVylSetup::SearchEnded() {
    searching_ = false;
    tryingTimer_->stop();
    {
        const std::lock_guard lock(tryingNote_->Mutex);
        tryingNote_->Port.clear();
    }
    StatusBar1->clearMessage();
    for (const TCaptionEntry& entry : CaptionTable())
        if (btn_FindDisplay->objectName() == QLatin1String(entry.Control))
            btn_FindDisplay->setText(Tr(entry.Caption));
    if (cancelSearch_ != nullptr)
        cancelSearch_->setEnabled(false);
}

void TfrmVylSetup::ShowSearchResult(const TActionResult& result) {
    const bool everyPort = searchEveryPort_;
    if (!result.Search || result.Cancelled)
        return;
    const TSearchResult& search = *result.Search;
    if (const TFoundDisplay* found = search.Found()) {
        // The session talks there from now on; the lists show it.
        const int portIndex = cbb_SerialPort->findText(QString::fromStdString(found->PortName));
        if (portIndex >= 0)
            cbb_SerialPort->setCurrentIndex(portIndex);
        cbb_BaudRate->setCurrentIndex(IndexOfBitsPerSecond(found->BaudRate));
        QString text = FoundDisplayText(*found) + OtherDisplaysFoundText(search);
        if (OtherSpeedsTried(search))
            text += QStringLiteral("\r\r") + StrayCharactersFoundText();
        ActionMessage(text, TMsgStyle::Information);
        return;
    }
    ActionMessage(NotFoundText(search), TMsgStyle::Warning);
    // Other ports only when the user says so: the probes would reach whatever is there.
    if (!everyPort && cbb_SerialPort->count() > 1 &&
        ActionMessage(AskEveryPortText(), TMsgStyle::AskYesNo) == TMsgResult::Yes)
        afterAction_ = [this] { FindDisplay(true); };
}
