// SPDX-License-Identifier: Apache-2.0
#include "untLineSpeeds.h"

#include <termios.h>

const std::array<TLineSpeed, static_cast<std::size_t>(TBaudRate::brCustom) + 1> LineSpeeds{{
    {TBaudRate::brDefault, 0, 0, false},
    {TBaudRate::br50, 50, B50, false},
    {TBaudRate::br75, 75, B75, false},
    {TBaudRate::br110, 110, B110, true},
    {TBaudRate::br134_5, 134, B134, false},
    {TBaudRate::br150, 150, B150, false},
    {TBaudRate::br300, 300, B300, true},
    {TBaudRate::br600, 600, B600, true},
    {TBaudRate::br1200, 1200, B1200, true},
    {TBaudRate::br1800, 1800, B1800, false},
    {TBaudRate::br2000, 2000, 0, false},
    {TBaudRate::br2400, 2400, B2400, true},
    {TBaudRate::br3600, 3600, 0, false},
    {TBaudRate::br4800, 4800, B4800, true},
    {TBaudRate::br7200, 7200, 0, false},
    {TBaudRate::br9600, 9600, B9600, true},
    {TBaudRate::br10400, 10400, 0, false},
    {TBaudRate::br14400, 14400, 0, true},
    {TBaudRate::br15625, 15625, 0, false},
    {TBaudRate::br19200, 19200, B19200, true},
    {TBaudRate::br28800, 28800, 0, false},
    {TBaudRate::br38400, 38400, B38400, true},
    {TBaudRate::br56000, 56000, 0, true},
    {TBaudRate::br57600, 57600, B57600, true},
    {TBaudRate::br115200, 115200, B115200, true},
    {TBaudRate::br128000, 128000, 0, true},
    {TBaudRate::br256000, 256000, 0, true},
    {TBaudRate::brCustom, 0, 0, false},
}};

static_assert(LineSpeeds.size() == static_cast<std::size_t>(TBaudRate::brCustom) + 1,
              "one row per TBaudRate member");

unsigned TermiosSpeedOfRate(std::int32_t rate) {
    for (const TLineSpeed& row : LineSpeeds)
        if (row.Rate == rate && row.Termios != 0)
            return row.Termios;
    return 0;
}
