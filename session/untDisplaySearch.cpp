// SPDX-License-Identifier: Apache-2.0
#include "untDisplaySearch.h"

#include "untBaudRate.h"
#include "untCmd_RV310.h"
#include "untComm.h"
#include "untCrossThread.h"
#include "untEventWait.h"
#include "untUtf16.h"
#include "untWorkerThread.h"

#include <QObject>
#include <QThread>

#include <algorithm>
#include <exception>

namespace {

// The reply read as the display's document: a settings object that names the display.
// `reply` holds the bytes up to the 00.
bool ReadDocument(const ByteString& reply, TSystemInfo& record) {
    try {
        return ParseSettingsJson(Utf8ToUtf16(reply), record).Success &&
               !record.product_name.empty();
    } catch (const std::exception&) {
        return false; // not an object
    }
}

bool Interrupted(const TCommConnection& connection) {
    return connection.HungUp() || connection.Cancelled();
}

// The first printable byte is not the '{' that opens the display's document.
bool NotADocument(const ByteString& sofar) {
    const auto first =
        std::find_if(sofar.begin(), sofar.end(), [](char c) { return c > 0x20 && c < 0x7F; });
    return first != sofar.end() && *first != '{';
}

bool Echoes(const ByteString& sofar) {
    return sofar.find(SearchProbe()) != ByteString::npos;
}

} // namespace

const ByteString& SearchProbe() {
    return SettingsRequestFrame();
}

std::vector<int> SearchOrder(int firstRate) {
    std::vector<int> rates;
    for (const TBaudRates& row : BaudRateTable)
        rates.push_back(row.BitsPerSecond);
    std::vector<int> order;
    for (int rate : {firstRate, 9600})
        if (std::find(rates.begin(), rates.end(), rate) != rates.end() &&
            std::find(order.begin(), order.end(), rate) == order.end())
            order.push_back(rate);
    std::sort(rates.begin(), rates.end());
    for (int rate : rates)
        if (std::find(order.begin(), order.end(), rate) == order.end())
            order.push_back(rate);
    return order;
}

TSpeedTry ProbeSpeed(TCommConnection& connection, const std::string& portName, int rate,
                     const TSearchTiming& timing, std::optional<TFoundDisplay>& found) {
    TSpeedTry attempt{rate, TSpeedOutcome::Silent};
    try {
        const auto giveUp = [&timing](const ByteString& sofar) {
            return sofar.size() >= timing.MostBytes || NotADocument(sofar) || Echoes(sofar);
        };
        ByteString reply;
        const int code = RequestSettings(
            connection, {timing.ReplyMs, timing.FirstByteMs, timing.GapMs, timing.ReadMs, giveUp},
            reply);
        if (Interrupted(connection) || reply.empty())
            return attempt;
        attempt.Outcome = TSpeedOutcome::Unproven;
        // Only what looks like the display's answer earns the handshakes: a modem's echo, a
        // printer's status byte or noise gets nothing but the request.
        const std::size_t end = reply.find('\0');
        if (code != COMM_OK || end == 0 || end == ByteString::npos || Echoes(reply) ||
            NotADocument(reply.substr(0, end)))
            return attempt;
        reply.resize(end);
        TFoundDisplay display;
        display.PortName = portName;
        display.BaudRate = rate;
        TSystemInfo record;
        record.Baud_Rate = 0xFF; // a document without one names no speed
        display.ByDocument = ReadDocument(reply, record);
        if (display.ByDocument) {
            const int named = BitsPerSecondOfNo(record.Baud_Rate);
            if (named != 0 && named != rate) {
                // The answer to a request sent at another speed: the display is not here.
                attempt.NamedSpeed = named;
                return attempt;
            }
        }
        if (HandShakeJpos(connection) == 0)
            display.HandShake = TAnsweredHandShake::JavaPos;
        else if (!Interrupted(connection) && HandShake(connection) == 0)
            display.HandShake = TAnsweredHandShake::Standard;
        if (Interrupted(connection))
            return attempt;
        if (!display.ByDocument && display.HandShake == TAnsweredHandShake::None)
            return attempt;
        if (display.ByDocument) {
            record.jpos = display.HandShake == TAnsweredHandShake::JavaPos;
            display.Model = record.product_name;
            display.FirmwareVersion = record.firmware_version;
            display.Settings = record;
            display.SettingsReply = reply;
        }
        attempt.Outcome = TSpeedOutcome::Confirmed;
        found = std::move(display);
    } catch (const std::exception&) {
        // A port error: this speed proved nothing.
    }
    return attempt;
}

TPortSearch SearchPort(TCommConnection& connection, const std::string& portName,
                       const std::vector<int>& rates, const TSearchTiming& timing,
                       const std::function<bool()>& stopped,
                       const std::function<void(int rate)>& trying) {
    TPortSearch port;
    port.PortName = portName;
    const TSearchTiming late = [&timing] {
        TSearchTiming longer = timing;
        longer.FirstByteMs = std::max(timing.FirstByteMs, timing.LateFirstByteMs);
        return longer;
    }();
    // Tries one speed; false when the port's search ends there.
    const auto tryRate = [&](int rate, const TSearchTiming& limits, TSpeedTry& attempt) {
        if (stopped && stopped()) {
            port.Cancelled = true;
            return false;
        }
        if (trying)
            trying(rate);
        if (!connection.Open(portName, rate)) {
            port.OpenFailed = true;
            port.OpenErrno = connection.LastOpenError().Code;
            port.OpenError = connection.LastOpenError().Text;
            return false;
        }
        attempt = ProbeSpeed(connection, portName, rate, limits, port.Found);
        port.Disconnected = connection.HungUp();
        port.Cancelled = connection.Cancelled();
        connection.Close();
        if (port.Disconnected || port.Cancelled) {
            port.Found.reset();
            return false;
        }
        port.Tried.push_back(attempt);
        return !port.Found;
    };
    for (const TSearchTiming* pass : {&timing, &late}) {
        // Each speed of the pass, and a speed that a document named right after the speed it
        // came at, with the long wait (once a pass).
        struct TStep {
            int Rate;
            const TSearchTiming* Limits;
        };
        std::vector<TStep> steps;
        for (int rate : rates)
            steps.push_back({rate, pass});
        std::vector<int> namedAgain;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            TSpeedTry attempt;
            if (!tryRate(steps[i].Rate, *steps[i].Limits, attempt))
                return port;
            const int named = attempt.NamedSpeed;
            if (named == 0 ||
                std::find(namedAgain.begin(), namedAgain.end(), named) != namedAgain.end())
                continue;
            namedAgain.push_back(named);
            // Tried now, not again later in this pass.
            steps.erase(std::remove_if(steps.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                       steps.end(),
                                       [named](const TStep& step) { return step.Rate == named; }),
                        steps.end());
            steps.insert(steps.begin() + static_cast<std::ptrdiff_t>(i) + 1, TStep{named, &late});
        }
    }
    return port;
}

// Shared by the search and the work it posts: a port's result may arrive after Run gave up
// waiting for it (its thread's loop quit).
struct TDisplaySearch::TState {
    struct TPort {
        TWorkerThread Thread{QStringLiteral("port search")};
        // Its thread only.
        TCommConnection* Connection = nullptr;
        bool Stopped = false;
    };
    std::vector<std::unique_ptr<TPort>> Ports;
    // The thread running Run only.
    std::vector<TPortSearch> Results;
    std::size_t Done = 0;
    TEventWait Wait;
    bool Running = false;
};

TDisplaySearch::TDisplaySearch() : state_(std::make_shared<TState>()) {}

TDisplaySearch::~TDisplaySearch() = default;

void TDisplaySearch::Cancel() {
    if (!state_->Running)
        return;
    for (const auto& port : state_->Ports) {
        TState::TPort* p = port.get();
        PostTo(p->Thread.Context(), [p] {
            p->Stopped = true;
            if (p->Connection != nullptr)
                p->Connection->Cancel();
        });
    }
}

TSearchResult TDisplaySearch::Run(const TSearchRequest& asked) {
    TSearchResult result;
    if (state_->Running || asked.Ports.empty())
        return result;
    // A port named twice is searched once: a second connection could not open it anyway.
    TSearchRequest request = asked;
    request.Ports.clear();
    for (const std::string& port : asked.Ports)
        if (std::find(request.Ports.begin(), request.Ports.end(), port) == request.Ports.end())
            request.Ports.push_back(port);
    const std::shared_ptr<TState> state = state_;
    state->Running = true;
    state->Results.assign(request.Ports.size(), {});
    state->Done = 0;
    state->Ports.clear();
    const std::vector<int> rates = SearchOrder(request.FirstRate);
    const TSearchTiming timing = request.Timing;
    // Receives the ports' results on this thread.
    QObject home;
    for (std::size_t i = 0; i < request.Ports.size(); ++i) {
        auto port = std::make_unique<TState::TPort>();
        TState::TPort* p = port.get();
        state->Ports.push_back(std::move(port));
        const std::string name = request.Ports[i];
        const auto trying = request.Trying;
        PostTo(p->Thread.Context(), [state, p, i, name, rates, timing, trying, homePtr = &home] {
            TCommConnection connection;
            p->Connection = &connection;
            TPortSearch found = SearchPort(
                connection, name, rates, timing, [p] { return p->Stopped; },
                [&trying, &name](int rate) {
                    if (trying)
                        trying(name, rate);
                });
            p->Connection = nullptr;
            PostTo(homePtr, [state, i, found = std::move(found)] {
                state->Results[i] = found;
                ++state->Done;
                state->Wait.Wake();
            });
        });
    }
    bool quit = false;
    while (state->Done < request.Ports.size()) {
        if (state->Wait.WaitUntil(TEventWait::Clock::time_point::max()) == TEventWait::TEnd::Quit) {
            quit = true;
            Cancel();
            break;
        }
    }
    // Each port's thread ends once its search has (at once after a cancel or a quit).
    for (const auto& port : state->Ports)
        port->Thread.Stop();
    state->Ports.clear();
    state->Running = false;
    result.Ports = state->Results;
    for (std::size_t i = 0; i < result.Ports.size(); ++i) {
        TPortSearch& port = result.Ports[i];
        if (port.PortName.empty()) {
            // Its result never came back: the loop quit first.
            port.PortName = request.Ports[i];
            port.Cancelled = true;
        }
    }
    result.Cancelled = quit || std::any_of(result.Ports.begin(), result.Ports.end(),
                                           [](const TPortSearch& port) { return port.Cancelled; });
    return result;
}

TSearchResult FindDisplay(const TSearchRequest& request) {
    TDisplaySearch search;
    return search.Run(request);
}

TPortSearch FindDisplayOnPort(const std::string& portName, int firstRate,
                              const TSearchTiming& timing) {
    TSearchRequest request;
    request.Ports = {portName};
    request.FirstRate = firstRate;
    request.Timing = timing;
    TSearchResult result = FindDisplay(request);
    if (result.Ports.empty()) {
        TPortSearch none;
        none.PortName = portName;
        return none;
    }
    return std::move(result.Ports.front());
}
