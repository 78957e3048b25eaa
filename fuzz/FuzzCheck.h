// SPDX-License-Identifier: Apache-2.0
#pragma once

// A violated property ends the run like a crash, so that libFuzzer keeps the input that
// showed it. The message is built only when the property fails: the checks sit in hot loops.

#include <cstdio>
#include <cstdlib>
#include <string>

[[noreturn]] inline void FuzzPropertyFailed(const char* file, int line, const char* condition,
                                            const std::string& detail) {
    std::fprintf(stderr, "%s:%d: property violated: %s\n%s\n", file, line, condition,
                 detail.c_str());
    std::fflush(stderr);
    std::abort();
}

#define FUZZ_REQUIRE(condition, detail)                                                            \
    do {                                                                                           \
        if (!(condition))                                                                          \
            FuzzPropertyFailed(__FILE__, __LINE__, #condition, std::string(detail));               \
    } while (false)

// Printable form of bytes for the messages: ASCII as is, the rest as \xNN.
inline std::string FuzzShow(const std::string& bytes) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F && b != '\\') {
            out += c;
        } else {
            out += "\\x";
            out += Hex[b >> 4];
            out += Hex[b & 0x0F];
        }
    }
    return out;
}
