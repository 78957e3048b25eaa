// SPDX-License-Identifier: Apache-2.0
#include "untLineSpeeds.h"

const std::array<TLineSpeed, static_cast<std::size_t>(TBaudRate::brCustom) + 1> LineSpeeds{{
    {TBaudRate::brDefault, 0, false},    {TBaudRate::br50, 50, false},
    {TBaudRate::br75, 75, false},        {TBaudRate::br110, 110, true},
    {TBaudRate::br134_5, 134, false},    {TBaudRate::br150, 150, false},
    {TBaudRate::br300, 300, true},       {TBaudRate::br600, 600, true},
    {TBaudRate::br1200, 1200, true},     {TBaudRate::br1800, 1800, false},
    {TBaudRate::br2000, 2000, false},    {TBaudRate::br2400, 2400, true},
    {TBaudRate::br3600, 3600, false},    {TBaudRate::br4800, 4800, true},
    {TBaudRate::br7200, 7200, false},    {TBaudRate::br9600, 9600, true},
    {TBaudRate::br10400, 10400, false},  {TBaudRate::br14400, 14400, true},
    {TBaudRate::br15625, 15625, false},  {TBaudRate::br19200, 19200, true},
    {TBaudRate::br28800, 28800, false},  {TBaudRate::br38400, 38400, true},
    {TBaudRate::br56000, 56000, true},   {TBaudRate::br57600, 57600, true},
    {TBaudRate::br115200, 115200, true}, {TBaudRate::br128000, 128000, true},
    {TBaudRate::br256000, 256000, true}, {TBaudRate::brCustom, 0, false},
}};

static_assert(LineSpeeds.size() == static_cast<std::size_t>(TBaudRate::brCustom) + 1,
              "one row per TBaudRate member");
