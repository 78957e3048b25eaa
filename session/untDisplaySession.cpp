// SPDX-License-Identifier: Apache-2.0
#include "untDisplaySession.h"

#include "untAESCipher.h"
#include "untComm.h"
#include "untCrossThread.h"
#include "untDeviceActions.h"
#include "untEventWait.h"

#include <QEventLoop>

#include <algorithm>

TDisplaySession::TDisplaySession(QObject* parent)
    : QObject(parent), continueWait_(std::make_unique<TEventWait>()) {
    thread_.setObjectName(QStringLiteral("display session"));
    worker_ = new QObject;
    worker_->moveToThread(&thread_);
    // On the session's thread as it finishes, before wait() lets the program go on; what it
    // did is then ordered, for ThreadSanitizer too, before the session's destruction.
    connect(
        &thread_, &QThread::finished, &thread_,
        [] {
            ReleaseCipherThreadState();
            CrossThread::Ending();
        },
        Qt::DirectConnection);
    thread_.start();
}

TDisplaySession::~TDisplaySession() {
    Cancel();
    // A wait in progress returns at once once the thread's loop quits.
    thread_.quit();
    thread_.wait();
    CrossThread::Ended(&thread_);
    delete worker_;
}

bool TDisplaySession::Start(const TSessionTarget& target, TDeviceAction steps) {
    if (busy_)
        return false;
    busy_ = true;
    cancelRequested_ = false;
    PostTo(worker_, [this, target, steps = std::move(steps)] { Run(target, steps); });
    return true;
}

void TDisplaySession::Run(const TSessionTarget& target, const TDeviceAction& steps) {
    TCommConnection connection;
    // A request to end stops the next frame even before the queued cancel arrives.
    connection.SetEndingFlag(&cancelRequested_);
    connection_ = &connection;
    TActionHooks hooks;
    hooks.Reported = [this](const TActionMessage& message) {
        PostTo(this, [this, message] { emit MessageReported(message); });
    };
    hooks.AwaitContinue = [this] { return AwaitContinue(); };
    TActionResult result;
    if (cancelRequested_)
        result.Cancelled = true;
    else
        result = RunDeviceAction(connection, target, hooks, steps);
    connection_ = nullptr;
    Finish(result);
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

bool TDisplaySession::GetSettings(const TSessionTarget& target, const TSystemInfo& current) {
    return Start(target, GetSettingsSteps(current));
}

bool TDisplaySession::SetCommand(const TSessionTarget& target, int commandNo) {
    return Start(target, SetCommandSteps(commandNo));
}

bool TDisplaySession::SetBaudRate(const TSessionTarget& target, int baudNo) {
    return Start(target, SetBaudRateSteps(baudNo));
}

bool TDisplaySession::SetBrightness(const TSessionTarget& target, int level) {
    return Start(target, SetBrightnessSteps(level));
}

bool TDisplaySession::SetWelcome(const TSessionTarget& target, const ByteString& line1,
                                 const ByteString& line2, bool scroll) {
    return Start(target, SetWelcomeSteps(line1, line2, scroll));
}

bool TDisplaySession::SetCodePage(const TSessionTarget& target, int charsetNo, int codePageNo) {
    return Start(target, SetCodePageSteps(charsetNo, codePageNo));
}

bool TDisplaySession::Restart(const TSessionTarget& target) {
    return Start(target, RestartSteps());
}

bool TDisplaySession::Clear(const TSessionTarget& target) {
    return Start(target, ClearSteps());
}

bool TDisplaySession::DisplayText(const TSessionTarget& target, const std::u16string& text,
                                  int codePage, std::optional<TTextPosition> position) {
    return Start(target, DisplayTextSteps(text, codePage, position));
}

bool TDisplaySession::ShowTestPattern(const TSessionTarget& target, int tag) {
    return Start(target, TestPatternSteps(tag));
}
