// SPDX-License-Identifier: Apache-2.0
#include "untDisplaySession.h"

#include "untComm.h"
#include "untCrossThread.h"
#include "untDeviceActions.h"
#include "untDisplaySearch.h"
#include "untEventWait.h"
#include "untWorkerThread.h"

#include <QEventLoop>

#include <algorithm>
#include <chrono>

namespace {

constexpr std::chrono::milliseconds LastFrameSettle{1};

} // namespace

TDisplaySession::TDisplaySession(QObject* parent)
    : QObject(parent), thread_(std::make_unique<TWorkerThread>(QStringLiteral("display session"))),
      worker_(thread_->Context()), continueWait_(std::make_unique<TEventWait>()) {}

TDisplaySession::~TDisplaySession() {
    Cancel();
    thread_->Stop();
}

bool TDisplaySession::Start(TSteps steps) {
    if (busy_)
        return false;
    busy_ = true;
    cancelRequested_ = false;
    PostTo(worker_, [this, target = target_, steps = std::move(steps)] { Run(target, steps); });
    return true;
}

void TDisplaySession::Run(const TSessionTarget& target, const TSteps& steps) {
    TCommConnection connection;
    // A request to end stops the next frame even before the queued cancel arrives.
    connection.SetEndingFlag(&cancelRequested_);
    connection_ = &connection;
    TActionHooks hooks;
    // The front end hears of the action's messages once it has ended, except a failed
    // handshake, which the action waits on: waking the window between frames would set it
    // painting while the display still has a frame to read.
    std::vector<TActionMessage> held;
    hooks.Reported = [this, &held](const TActionMessage& message) {
        held.push_back(message);
        if (message.Kind == TMessageKind::HandShakeFailed)
            PostHeld(held);
    };
    hooks.AwaitContinue = [this] { return AwaitContinue(); };
    TActionResult result;
    if (cancelRequested_)
        result.Cancelled = true;
    else
        result = RunDeviceAction(connection, target, hooks, steps);
    connection_ = nullptr;
    // A frame handed to a pseudo-terminal reaches the program on its far end only once the
    // kernel's worker and that program get a processor; a box and its painting, started by
    // the result at once, take both processors of a small machine for milliseconds first.
    // A real line has sent the frame by now (the write waits for it): a moment's pause costs
    // nothing there.
    if (result.Opened)
        TEventWait().WaitUntil(TEventWait::Clock::now() + LastFrameSettle);
    PostHeld(held);
    Finish(result);
}

void TDisplaySession::PostHeld(std::vector<TActionMessage>& held) {
    for (TActionMessage& message : held)
        PostTo(this, [this, message = std::move(message)] { emit MessageReported(message); });
    held.clear();
}

bool TDisplaySession::FindDisplay(const TSearchRequest& request) {
    if (busy_)
        return false;
    busy_ = true;
    cancelRequested_ = false;
    PostTo(worker_, [this, request] { RunSearch(request); });
    return true;
}

void TDisplaySession::RunSearch(const TSearchRequest& request) {
    TActionResult result;
    if (cancelRequested_) {
        result.Cancelled = true;
    } else {
        TDisplaySearch search;
        search_ = &search;
        result.Search = search.Run(request);
        search_ = nullptr;
        result.Cancelled = result.Search->Cancelled;
        result.Opened = std::any_of(result.Search->Ports.begin(), result.Search->Ports.end(),
                                    [](const TPortSearch& port) { return !port.Tried.empty(); });
    }
    Finish(result);
}

void TDisplaySession::Finish(const TActionResult& result) {
    PostTo(this, [this, result] {
        // The display now listens at its new speed, or was found elsewhere: so the next
        // action talks there.
        if (result.NewBaudRate)
            target_.BaudRate = *result.NewBaudRate;
        if (result.Search && result.Search->Found() != nullptr)
            target_ = {result.Search->Found()->PortName, result.Search->Found()->BaudRate};
        busy_ = false;
        last_ = result;
        emit Finished(result);
    });
}

bool TDisplaySession::AwaitContinue() {
    if (autoContinue_)
        return !cancelRequested_;
    continued_ = false;
    while (!continued_ && !cancelRequested_) {
        if (continueWait_->WaitUntil(TEventWait::Clock::time_point::max()) ==
            TEventWait::TEnd::Quit)
            return false;
    }
    return !cancelRequested_;
}

void TDisplaySession::Continue() {
    PostTo(worker_, [this] {
        continued_ = true;
        continueWait_->Wake();
    });
}

void TDisplaySession::Cancel() {
    if (!busy_)
        return;
    cancelRequested_ = true;
    PostTo(worker_, [this] {
        if (connection_ != nullptr)
            connection_->Cancel();
        if (search_ != nullptr)
            search_->Cancel();
        continueWait_->Wake();
    });
}

TActionResult TDisplaySession::WaitForResult() {
    if (busy_) {
        QEventLoop loop;
        const auto connection = connect(this, &TDisplaySession::Finished, &loop, &QEventLoop::quit);
        if (busy_)
            loop.exec();
        disconnect(connection);
    }
    return last_;
}

bool TDisplaySession::ListPorts(std::vector<std::string>& target) {
    return ListComPorts(target);
}

bool TDisplaySession::GetSettings(const TSystemInfo& current) {
    return Start(GetSettingsSteps(current));
}

bool TDisplaySession::SetCommand(int commandNo) {
    return Start(SetCommandSteps(commandNo));
}

bool TDisplaySession::SetBaudRate(int baudNo) {
    return Start(SetBaudRateSteps(baudNo));
}

bool TDisplaySession::SetBrightness(int level) {
    return Start(SetBrightnessSteps(level));
}

bool TDisplaySession::SetWelcome(const ByteString& line1, const ByteString& line2, bool scroll) {
    return Start(SetWelcomeSteps(line1, line2, scroll));
}

bool TDisplaySession::SetCodePage(int charsetNo, int codePageNo) {
    return Start(SetCodePageSteps(charsetNo, codePageNo));
}

bool TDisplaySession::Restart() {
    return Start(RestartSteps());
}

bool TDisplaySession::Clear() {
    return Start(ClearSteps());
}

bool TDisplaySession::DisplayText(const std::u16string& text, int codePage,
                                  std::optional<TTextPosition> position) {
    return Start(DisplayTextSteps(text, codePage, position));
}

bool TDisplaySession::ShowTestPattern(int tag) {
    return Start(TestPatternSteps(tag));
}
