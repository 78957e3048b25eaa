// SPDX-License-Identifier: Apache-2.0
#pragma once

// The command line's side of the display session: one action at a time run to its end, the
// failures every action shares turned into messages and exit codes, Ctrl-C turned into Cancel.

#include "untActionResult.h"
#include "untCliExitCodes.h"
#include "untCliInterrupt.h"
#include "untCliOptions.h"
#include "untCliOutput.h"
#include "untDisplaySession.h"

#include <optional>
#include <utility>

class TCliSession {
public:
    TCliSession(const TCliOptions& options, TCliOutput& out);

    // Where the actions go (the session's target): --port at --baud, or at the speed the
    // display is found at; a speed change moves it. The exit code when there is no display to
    // talk to.
    std::optional<TExitCode> ResolveTarget();

    // Runs one action of the session, `action` with `args`, to its end. The failures that end
    // a command are reported and returned: an interrupt, a port that does not open, a failed
    // standard handshake (unless --force), a hang-up, an error, frames that were not handed
    // to the port. nullopt when it ran.
    template <typename... Params, typename... Args>
    std::optional<TExitCode> Run(TActionResult& result, bool (TDisplaySession::*action)(Params...),
                                 Args&&... args) {
        if (auto code = Interrupted())
            return code;
        if (auto code = Ended((session_.*action)(std::forward<Args>(args)...), result))
            return code;
        return AllSent(result);
    }

    // Searches the request's ports for the display and reports what came of it. nullopt when
    // a display was found (`search` then says where); else the reported failure: 3 when the
    // only port asked for cannot be opened, 4 when no display answered.
    std::optional<TExitCode> Search(const TSearchRequest& request, TSearchResult& search);

    // Reads the display's settings on top of the window's defaults into `record`. nullopt when
    // the whole document was read; else the reported failure (4 without an answer, 5 for an
    // answer that is no settings document).
    std::optional<TExitCode> ReadSettings(TSystemInfo& record, TActionResult& result);

    // After a Ctrl-C or SIGTERM: reports it and returns its exit code; else nullopt.
    std::optional<TExitCode> Interrupted();

private:
    void ReportOpenFailure(const std::string& port, const TActionResult& result);
    // An action the session was asked to start, waited for: the failures every action shares.
    std::optional<TExitCode> Ended(bool started, TActionResult& result);
    // An error, a "Fail!", or frames that were not handed to the port.
    std::optional<TExitCode> AllSent(const TActionResult& result);

    const TCliOptions& options_;
    TCliOutput& out_;
    TDisplaySession session_;
    TInterruptWatch interrupt_;
    bool refused_ = false;
};

// The settings the window starts with (its default document), under every settings read.
TSystemInfo DefaultRecord();
