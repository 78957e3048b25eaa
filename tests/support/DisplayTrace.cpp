// SPDX-License-Identifier: Apache-2.0
#include "DisplayTrace.h"

#include <cstdio>
#include <ctime>
#include <sstream>

namespace {

// "2025-01-31T12:34:56.123456Z" as seconds since the epoch.
double ParseTime(const std::string& text) {
    std::tm tm{};
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0;
    if (std::sscanf(text.c_str(), "%d-%d-%dT%d:%d:%lfZ", &year, &month, &day, &hour, &minute,
                    &second) != 6)
        return 0;
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    return static_cast<double>(timegm(&tm)) + second;
}

std::string Abbreviated(const std::string& frame) {
    // 35 bytes as spaced hex: 104 characters.
    if (frame.size() == 35 * 3 - 1 && frame.rfind("02 07 13 ", 0) == 0)
        return "HS";
    if (frame.size() == 35 * 3 - 1 && frame.rfind("02 07 12 ", 0) == 0)
        return "HSJ";
    return frame;
}

} // namespace

std::vector<TTraceLine> TraceLines(const VirtualDisplayProcess& display) {
    std::vector<TTraceLine> lines;
    std::istringstream in(display.Trace());
    for (std::string line; std::getline(in, line);) {
        const auto first = line.find(' ');
        if (first == std::string::npos)
            continue;
        const auto second = line.find(' ', first + 1);
        TTraceLine entry;
        entry.Time = ParseTime(line.substr(0, first));
        entry.Event = line.substr(first + 1, second - first - 1);
        entry.Data = second == std::string::npos ? "" : line.substr(second + 1);
        lines.push_back(entry);
    }
    return lines;
}

std::vector<std::vector<std::string>> Connections(const VirtualDisplayProcess& display,
                                                  std::size_t connections) {
    display.WaitForEvents("CLOSE", connections);
    std::vector<std::vector<std::string>> result;
    for (const TTraceLine& line : TraceLines(display)) {
        if (line.Event == "OPEN")
            result.emplace_back();
        else if (result.empty())
            continue;
        else if (line.Event == "RX")
            result.back().push_back(Abbreviated(line.Data));
        else if (line.Event == "IGNORED")
            result.back().push_back("IGNORED " + line.Data);
    }
    return result;
}

double FrameTime(const VirtualDisplayProcess& display, const std::string& prefix) {
    for (const TTraceLine& line : TraceLines(display))
        if (line.Event == "RX" && line.Data.rfind(prefix, 0) == 0)
            return line.Time;
    return 0;
}
