// SPDX-License-Identifier: Apache-2.0
// The port list that follows plugging: the merge of a new listing with the selection, and the
// window with virtual displays started and stopped while it runs (no Refresh pressed).

#include "ActionTestSupport.h"
#include "AppTestSupport.h"
#include "untPortListMerge.h"
#include "untPortWatch.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <memory>

namespace {

std::vector<QString> Names(std::initializer_list<const char*> names) {
    std::vector<QString> out;
    for (const char* n : names)
        out.push_back(QString::fromLatin1(n));
    return out;
}

QString Shown(const TPortListUpdate& u) {
    QStringList parts;
    for (std::size_t i = 0; i < u.Entries.size(); ++i)
        parts << (static_cast<int>(i) == u.Selected ? "[" : "") + u.Entries[i].Name +
                     (u.Entries[i].Missing ? "!" : "") +
                     (static_cast<int>(i) == u.Selected ? "]" : "");
    return parts.join(' ');
}

bool ServeUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

} // namespace

TEST(PortList, MergeKeepsTheSelectionAndMarksAGoneSelectedPort) {
    struct TCase {
        std::vector<QString> Fresh;
        const char* Selected;
        const char* Expected; // [selected], ! missing
    } cases[] = {
        {Names({"A", "ttyS0", "ttyUSB0"}), "ttyS0", "A [ttyS0] ttyUSB0"},
        {Names({"A", "ttyS0"}), "ttyUSB0", "A ttyS0 [ttyUSB0!]"},
        {Names({"B", "ttyS0"}), "A", "[A!] B ttyS0"},
        {Names({"B", "ttyS0"}), "c", "B [c!] ttyS0"}, // in order, case ignored
        {Names({"ttyUSB0"}), "", "[ttyUSB0]"},        // a port into an empty list is selected
        {Names({}), "", ""},
        {Names({}), "ttyUSB0", "[ttyUSB0!]"},                            // the last port gone
        {Names({"ttyACM0", "ttyUSB0"}), "ttyUSB0", "ttyACM0 [ttyUSB0]"}, // back again
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Shown(MergePortList(c.Fresh, QString::fromLatin1(c.Selected))),
                  QString::fromLatin1(c.Expected))
            << c.Selected;
}

TEST(PortList, FollowsDisplaysComingAndGoingWithoutRefreshAndWaitsForAnAction) {
    TDialogScript script;
    auto w = NewWindow();
    using namespace std::chrono_literals;
    // The watch is armed once the window has been painted.
    w->show();
    ASSERT_TRUE(ServeUntil([&] { return w->findChild<TPortWatch*>()->Started(); }, 5s));
    const auto listed = [&](const std::string& name) {
        return w->cbb_SerialPort->findText(QString::fromStdString(name)) >= 0;
    };

    auto first =
        std::make_unique<VirtualDisplayProcess>(VirtualDisplayProgram, std::vector<std::string>{});
    ASSERT_TRUE(first->Started()) << first->Stderr();
    const std::string firstName = first->PortName();
    ASSERT_TRUE(ServeUntil([&] { return listed(firstName); }, 5s));
    ChooseInCombo(w->cbb_SerialPort,
                  w->cbb_SerialPort->findText(QString::fromStdString(firstName)));

    VirtualDisplayProcess slow(VirtualDisplayProgram, {"--reply-delay", "2000"});
    ASSERT_TRUE(slow.Started()) << slow.Stderr();
    ASSERT_TRUE(ServeUntil([&] { return listed(slow.PortName()); }, 5s));
    EXPECT_EQ(w->cbb_SerialPort->currentText().toStdString(), firstName);

    // Gone while selected: kept, marked, still the port the next action names.
    first->Stop(SIGTERM);
    first.reset();
    ASSERT_TRUE(ServeUntil([&] { return w->PortMissing(w->cbb_SerialPort->currentIndex()); }, 5s));
    EXPECT_EQ(w->cbb_SerialPort->currentText().toStdString(), firstName);
    EXPECT_EQ(w->CurrentPortName(), QString::fromStdString(firstName).toStdU16String());

    // During an action the list stands still; it follows once the action is over.
    ASSERT_TRUE(ChoosePort(*w, slow.PortName()));
    std::unique_ptr<VirtualDisplayProcess> late;
    bool listedDuringAction = true;
    QTimer::singleShot(200, w.get(), [&] {
        late = std::make_unique<VirtualDisplayProcess>(VirtualDisplayProgram,
                                                       std::vector<std::string>{});
        ServeUntil([] { return false; }, 1000ms);
        listedDuringAction = w->ActionRunning() ? listed(late->PortName()) : true;
    });
    Press(*w, w->btn_GetSetting);
    ASSERT_TRUE(late && late->Started());
    EXPECT_FALSE(listedDuringAction);
    EXPECT_TRUE(ServeUntil([&] { return listed(late->PortName()); }, 5s));
    EXPECT_EQ(w->cbb_SerialPort->currentText().toStdString(), slow.PortName());
}
