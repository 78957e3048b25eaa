// SPDX-License-Identifier: Apache-2.0
#pragma once

// The display session: runs one device action at a time on its own thread, so that the thread
// that asks (the window's, the command line's) never waits on the wire. Each call starts an
// action at the session's target and returns at once; its messages (MessageReported) and then
// the whole result (Finished) arrive once it has ended, a failed handshake's message as it
// happens (the action waits for it), all on the thread that owns the session. This header and the
// result types are what a front end sees; how the session reaches the display stays behind the
// headers in internal/.

#include "untActionResult.h"
#include "untSearchResult.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TCommConnection;
class TDisplaySearch;
class TEventWait;
class TWorkerThread;
struct TActionHooks;

class TDisplaySession : public QObject {
    Q_OBJECT
public:
    explicit TDisplaySession(QObject* parent = nullptr);
    // Cancels a running action and ends the session's thread.
    ~TDisplaySession() override;

    // The port and speed the actions talk to. Set by the front end; a speed change that went
    // out moves it to the new speed, a search that found the display to its port and speed
    // (both before Finished is emitted). An action that runs keeps the target it started with.
    void SetTarget(const TSessionTarget& target) { target_ = target; }
    const TSessionTarget& Target() const { return target_; }

    // Each starts its action and returns true, or returns false and starts nothing while
    // another action runs.
    bool GetSettings(const TSystemInfo& current);
    bool SetCommand(int commandNo);
    bool SetBaudRate(int baudNo);
    bool SetBrightness(int level);
    bool SetWelcome(const ByteString& line1, const ByteString& line2, bool scroll);
    bool SetCodePage(int charsetNo, int codePageNo);
    bool Restart();
    bool Clear();
    bool DisplayText(const std::u16string& text, int codePage,
                     std::optional<TTextPosition> position);
    bool ShowTestPattern(int tag);
    // Searches the ports of the request side by side for the display; the result's Search.
    bool FindDisplay(const TSearchRequest& request);

    bool Busy() const { return busy_; }
    // After a HandShakeFailed message the action waits until this is called (the user closed
    // the box). With auto-continue set it never waits.
    void Continue();
    void SetAutoContinue(bool on) { autoContinue_ = on; }
    // Ends the running action at its next wait and releases the port; its result says so.
    void Cancel();

    // Runs the calling thread's event loop until the running action has finished; its result
    // (the last one when none runs).
    TActionResult WaitForResult();

    // The machine's serial ports and the published virtual ports, sorted; false when they
    // cannot be read.
    static bool ListPorts(std::vector<std::string>& target);

signals:
    void MessageReported(const TActionMessage& message);
    void Finished(const TActionResult& result);

private:
    using TSteps = std::function<void(TCommConnection&, const TActionHooks&, TActionResult&)>;
    bool Start(TSteps steps);
    void Run(const TSessionTarget& target, const TSteps& steps); // session thread
    void RunSearch(const TSearchRequest& request);               // session thread
    void Finish(const TActionResult& result);                    // session thread
    bool AwaitContinue();                                        // session thread
    void PostHeld(std::vector<TActionMessage>& held);            // session thread

    TSessionTarget target_;
    std::unique_ptr<TWorkerThread> thread_;
    QObject* worker_ = nullptr; // lives on thread_; the hand-offs to it run there
    bool busy_ = false;
    TActionResult last_;
    std::atomic<bool> autoContinue_{false};
    std::atomic<bool> cancelRequested_{false};
    // Session thread only.
    TCommConnection* connection_ = nullptr;
    TDisplaySearch* search_ = nullptr;
    bool continued_ = false;
    std::unique_ptr<TEventWait> continueWait_;
};
