// SPDX-License-Identifier: Apache-2.0
// Find Display: the session searches the selected port from the selected speed on; the window
// selects the port and speed it found, or says what was tried and offers to search every listed
// port (probes to other devices only when the user says so).

#include "frmuVylSetup.h"

#include "untBaudRate.h"
#include "untDisplaySession.h"
#include "untSearchTexts.h"

#include <string>
#include <vector>

void TfrmVylSetup::btn_FindDisplayClick() {
    FindDisplay(false);
}

void TfrmVylSetup::FindDisplay(bool everyPort) {
    if (!DeviceActionIdle())
        return;
    TSearchRequest request;
    for (int i = 0; everyPort && i < cbb_SerialPort->count(); ++i)
        request.Ports.push_back(cbb_SerialPort->itemText(i).toStdString());
    if (!everyPort)
        request.Ports.push_back(session_->Target().PortName);
    request.FirstRate = session_->Target().BaudRate;
    searchEveryPort_ = everyPort;
    DeviceActionStarted(session_->FindDisplay(request));
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
        QString text = FoundDisplayText(*found);
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
