// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstdint>

// What an open port is to the system: a HANDLE (void*; INVALID_HANDLE_VALUE when closed).
using TPortHandle = void*;
inline const TPortHandle InvalidPortHandle =
    reinterpret_cast<TPortHandle>(static_cast<std::intptr_t>(-1));
