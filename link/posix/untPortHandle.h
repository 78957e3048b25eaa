// SPDX-License-Identifier: Apache-2.0
#pragma once

// What an open port is to the system: a file descriptor.
using TPortHandle = int;
inline constexpr TPortHandle InvalidPortHandle = -1;
