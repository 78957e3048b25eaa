// SPDX-License-Identifier: Apache-2.0
// Kept apart from every file that includes <termios.h>: the kernel's termbits clash with it.
#include <asm/termbits.h>
#include <sys/ioctl.h>

unsigned PtySlaveSpeed(int fd) {
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) != 0)
        return 0;
    return t.c_ospeed;
}
