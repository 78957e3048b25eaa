// SPDX-License-Identifier: Apache-2.0
#pragma once

// The standard handshake as the benchmarks' minimal clients do it by hand: a request with a
// fresh challenge, and the check of the display's answer.

#include "ByteString.h"

#include <random>

struct TRequest {
    ByteString Frame;
    ByteString Challenge;
};

TRequest StandardRequest(std::mt19937& random);

// True when the display's 35-byte answer deciphers to the request's challenge.
bool AnswersChallenge(const ByteString& answer, const TRequest& request);
