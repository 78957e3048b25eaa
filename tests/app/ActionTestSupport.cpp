// SPDX-License-Identifier: Apache-2.0
#include "ActionTestSupport.h"

#include "AppTestSupport.h"
#include "untSystemInfo.h"

#include <QCoreApplication>

std::chrono::milliseconds Press(TfrmVylSetup& window, QAbstractButton* button) {
    const auto start = std::chrono::steady_clock::now();
    button->click();
    const auto limit = start + std::chrono::seconds(30);
    while (window.ActionRunning() && std::chrono::steady_clock::now() < limit)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start);
}

bool ChoosePort(TfrmVylSetup& window, const std::string& name) {
    window.btn_enumComPorts->click();
    const int index = window.cbb_SerialPort->findText(QString::fromStdString(name));
    if (index < 0)
        return false;
    ChooseInCombo(window.cbb_SerialPort, index);
    return window.CurrentPortName() == QString::fromStdString(name).toStdU16String();
}
