// SPDX-License-Identifier: Apache-2.0
// The port list follows plugging: when the system's ports change, the list is read anew with
// the selection kept; a selected port that has gone stays, marked missing, so that nothing
// silently switches the port the next action opens. While an action runs the list waits.

#include "frmuVylSetup.h"

#include "untDisplaySession.h"
#include "untLanguage.h"
#include "untPortListMerge.h"
#include "untPortWatch.h"

#include <QStyle>

#include <array>
#include <string>
#include <vector>

namespace {

// The item data of an entry kept for a port that has gone.
const QVariant MissingMark = QStringLiteral("missing");

enum class TText { MissingPort };

constexpr std::array<TTextRow<TText>, 1> Texts{{
    {TText::MissingPort,
     {u"This port is gone from the system (unplugged or closed).",
      u"该串口已不在系统中（已拔出或已关闭）。"}},
}};

} // namespace

void TfrmVylSetup::CreatePortWatch() {
    portWatch_ = new TPortWatch(this);
    connect(portWatch_, &TPortWatch::Changed, this,
            [this] { RunGuarded([this] { PortsChanged(); }); });
}

void TfrmVylSetup::StartPortWatch() {
    portWatch_->Start();
    // A port that came or went between the list's first reading and the watch's start.
    std::vector<std::string> ports;
    if (ReadPorts(ports) && PortListDiffersFrom(ports))
        PortsChanged();
}

void TfrmVylSetup::PortsChanged() {
    if (actionRunning_)
        portsChangedMeanwhile_ = true;
    else
        FollowPortList();
}

bool TfrmVylSetup::PortListDiffersFrom(const std::vector<std::string>& ports) const {
    if (static_cast<std::size_t>(cbb_SerialPort->count()) != ports.size())
        return true;
    for (int i = 0; i < cbb_SerialPort->count(); ++i)
        if (PortMissing(i) || cbb_SerialPort->itemText(i) !=
                                  QString::fromStdString(ports[static_cast<std::size_t>(i)]))
            return true;
    return false;
}

void TfrmVylSetup::FollowPortList() {
    portsChangedMeanwhile_ = false;
    std::vector<std::string> ports;
    if (!ReadPorts(ports))
        return;
    std::vector<QString> fresh;
    for (const std::string& port : ports)
        fresh.push_back(QString::fromStdString(port));
    const QString selected =
        cbb_SerialPort->currentIndex() >= 0 ? cbb_SerialPort->currentText() : QString();
    const TPortListUpdate update = MergePortList(fresh, selected);

    const QIcon missing = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    const QString missingText = TextOf(Texts, TText::MissingPort);
    cbb_SerialPort->clear();
    for (const TPortEntry& entry : update.Entries) {
        if (entry.Missing) {
            cbb_SerialPort->addItem(missing, entry.Name, MissingMark);
            cbb_SerialPort->setItemData(cbb_SerialPort->count() - 1, missingText, Qt::ToolTipRole);
        } else {
            cbb_SerialPort->addItem(entry.Name);
        }
    }
    cbb_SerialPort->setCurrentIndex(update.Selected);
    cbb_SerialPort->setToolTip(
        update.Selected >= 0 && update.Entries[static_cast<std::size_t>(update.Selected)].Missing
            ? missingText
            : QString());
    SetCurrentPortName(cbb_SerialPort->currentText().toStdU16String());
}

bool TfrmVylSetup::PortMissing(int index) const {
    return cbb_SerialPort->itemData(index) == MissingMark;
}
