// SPDX-License-Identifier: Apache-2.0
#include "TraceLine.h"

#include <cstdio>
#include <ctime>

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
    std::tm tm{};
    int micros = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d.%6dZ", &tm.tm_year, &tm.tm_mon,
                    &tm.tm_mday, &tm.tm_hour, &tm.tm_min, &tm.tm_sec, &micros) != 7)
        return -1;
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    return static_cast<std::int64_t>(timegm(&tm)) * 1000000 + micros;
}
