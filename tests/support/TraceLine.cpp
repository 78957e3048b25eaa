// SPDX-License-Identifier: Apache-2.0
#include "TraceLine.h"

#include <chrono>
#include <cstdio>

bool ParseTraceLine(const std::string& line, TTraceLine& out) {
    const auto first = line.find(' ');
    if (first == std::string::npos)
        return false;
    const auto second = line.find(' ', first + 1);
    out.Micros = TraceTimeMicros(line.substr(0, first));
    out.Event = line.substr(first + 1,
                            second == std::string::npos ? std::string::npos : second - first - 1);
    out.Data = second == std::string::npos ? std::string() : line.substr(second + 1);
    return true;
}

std::int64_t TraceTimeMicros(const std::string& text) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, micros = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d.%6dZ", &year, &month, &day, &hour,
                    &minute, &second, &micros) != 7)
        return -1;
    // The calendar's own arithmetic: timegm is not everywhere (the Windows build reads traces too).
    namespace chrono = std::chrono;
    const chrono::sys_days date{chrono::year(year) / month / day};
    const auto time =
        date + chrono::hours(hour) + chrono::minutes(minute) + chrono::seconds(second);
    return time.time_since_epoch() / chrono::microseconds(1) + micros;
}
