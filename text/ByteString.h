// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>

// Frames, payloads and replies: counted 8-bit strings in which zero bytes are ordinary data.
using ByteString = std::string;
