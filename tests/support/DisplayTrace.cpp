// SPDX-License-Identifier: Apache-2.0
#include "DisplayTrace.h"

#include <sstream>

namespace {

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
    for (std::string line; std::getline(in, line);)
        if (TTraceLine entry; ParseTraceLine(line, entry))
            lines.push_back(entry);
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
            return line.Seconds();
    return 0;
}
