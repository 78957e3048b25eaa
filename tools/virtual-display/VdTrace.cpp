// SPDX-License-Identifier: Apache-2.0
#include "VdTrace.h"

#include "untHex.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

namespace {

std::string IsoTime(std::chrono::system_clock::time_point t) {
    using namespace std::chrono;
    const auto micros = duration_cast<microseconds>(t.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(micros / 1000000);
    std::tm tm{};
    gmtime_r(&seconds, &tm);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%06lldZ", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                  static_cast<long long>(micros % 1000000));
    return text;
}

} // namespace

bool VdTrace::Open(const std::string& path, std::string& error) {
    file_.reset(std::fopen(path.c_str(), "a"));
    if (!file_) {
        error = "cannot open trace file " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void VdTrace::Write(const std::string& event, const ByteString* bytes, const std::string& remark) {
    if (!file_)
        return;
    std::string line = IsoTime(std::chrono::system_clock::now()) + " " + event;
    if (bytes && !bytes->empty())
        line += " " + BytesToSpacedHex(*bytes);
    if (!remark.empty())
        line += " " + remark;
    line += '\n';
    std::fputs(line.c_str(), file_.get());
    std::fflush(file_.get());
}
