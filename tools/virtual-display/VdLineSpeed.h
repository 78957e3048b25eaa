// SPDX-License-Identifier: Apache-2.0
#pragma once

// The speed in bit/s the host set on the pty (its termios are shared by every fd of the
// slave), exact also for rates without a B constant; 0 when it cannot be read.
unsigned HostLineSpeed(int slaveFd);
