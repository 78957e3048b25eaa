// SPDX-License-Identifier: Apache-2.0
#pragma once

// Rates without a B constant go to the driver through termios2 (BOTHER). The kernel's
// termbits cannot share a source file with <termios.h>, hence this seam.

// Sets input and output speed of `fd` to exactly `rate` bit/s; 0 or the errno.
int SetCustomSpeed(int fd, unsigned rate);
