// SPDX-License-Identifier: Apache-2.0
#pragma once

// The display session: runs one device action at a time on its own thread, so that the thread
// that asks (the window's, the command line's) never waits on the wire. Each call starts an
// action and returns at once; messages arrive as they happen (MessageReported), and the whole
// result at the end (Finished), both on the thread that owns the session.

#include "untActionResult.h"
#include "untDisplaySearch.h"

#include <QObject>
#include <QThread>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TEventWait;

class TDisplaySession : public QObject {
    Q_OBJECT
public:
    explicit TDisplaySession(QObject* parent = nullptr);
    // Cancels a running action and ends the session's thread.
    ~TDisplaySession() override;

    // Each starts its action and returns true, or returns false and starts nothing while
    // another action runs.
    bool GetSettings(const TSessionTarget& target, const TSystemInfo& current);
    bool SetCommand(const TSessionTarget& target, int commandNo);
    bool SetBaudRate(const TSessionTarget& target, int baudNo);
    bool SetBrightness(const TSessionTarget& target, int level);
    bool SetWelcome(const TSessionTarget& target, const ByteString& line1, const ByteString& line2,
                    bool scroll);
    bool SetCodePage(const TSessionTarget& target, int charsetNo, int codePageNo);
    bool Restart(const TSessionTarget& target);
    bool Clear(const TSessionTarget& target);
    bool DisplayText(const TSessionTarget& target, const std::u16string& text, int codePage,
                     std::optional<TTextPosition> position);
    bool ShowTestPattern(const TSessionTarget& target, int tag);
    // Any action given as steps.
    bool Start(const TSessionTarget& target, TDeviceAction steps);
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
    void Run(const TSessionTarget& target, const TDeviceAction& steps); // session thread
    void RunSearch(const TSearchRequest& request);                      // session thread
    void Finish(const TActionResult& result);                           // session thread
    bool AwaitContinue();                                               // session thread

    QThread thread_;
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
