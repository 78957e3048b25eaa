// SPDX-License-Identifier: Apache-2.0
#pragma once

// The trace file that end-to-end tests read: one line per event, "<UTC time> <EVENT> ...",
// flushed at once so a reader sees every event as it happens (format in --help).

#include "ByteString.h"

#include <cstdio>
#include <memory>
#include <string>

class VdTrace {
public:
    // False with the reason when the file cannot be opened for appending.
    bool Open(const std::string& path, std::string& error);
    // "<time> EVENT" followed by the bytes as spaced hex and the remark, each only when given.
    void Write(const std::string& event, const ByteString* bytes = nullptr,
               const std::string& remark = {});

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
};
