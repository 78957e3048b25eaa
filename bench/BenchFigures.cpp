// SPDX-License-Identifier: Apache-2.0
#include "BenchFigures.h"

#include <algorithm>
#include <cmath>
#include <fstream>

std::vector<TTraceEvent> TTraceReader::ReadNew() {
    std::vector<TTraceEvent> events;
    std::ifstream in(path_, std::ios::binary);
    if (!in)
        return events;
    in.seekg(offset_);
    std::string line;
    while (std::getline(in, line)) {
        if (in.eof())
            break; // a line still being written: read it whole next time
        offset_ += static_cast<long long>(line.size()) + 1;
        if (TTraceEvent e; ParseTraceLine(line, e))
            events.push_back(std::move(e));
    }
    return events;
}

double ReplyToNextFrameMicros(const std::vector<TTraceEvent>& events) {
    // A handshake answer is 35 bytes: 35 hex pairs with 34 spaces between them.
    constexpr std::size_t AnswerText = 35 * 3 - 1;
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (events[i].Event != "TX" || events[i].Data.size() != AnswerText)
            continue;
        for (std::size_t j = i + 1; j < events.size(); ++j)
            if (events[j].Event == "RX")
                return static_cast<double>(events[j].Micros - events[i].Micros);
        return -1;
    }
    return -1;
}

TDistribution Distribution(std::vector<double> values) {
    TDistribution d;
    if (values.empty())
        return d;
    std::sort(values.begin(), values.end());
    const auto rank = [&](double q) {
        const auto r = static_cast<std::size_t>(std::ceil(q * static_cast<double>(values.size())));
        return values[std::clamp<std::size_t>(r, 1, values.size()) - 1];
    };
    d.N = values.size();
    d.Median = rank(0.5);
    d.P99 = rank(0.99);
    d.Max = values.back();
    return d;
}
