// SPDX-License-Identifier: Apache-2.0
// The hex conversions. The input is read both as hex text and as bytes:
// - the strict reading accepts exactly the texts made of hex digits only, and then reads them
//   as the lenient one does; it fails with its one message otherwise;
// - the lenient reading is the strict reading of each run of hex digits, one after the other
//   (whatever stands between the runs only separates them);
// - HexToInt is the digits' value modulo 2^32;
// - BytesToHex and BytesToSpacedHex have their exact shape and read back to the bytes, in
//   either case of the digits.

#include "FuzzCheck.h"

#include "untHex.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::uint32_t DigitValue(char c) {
    if (c <= '9')
        return static_cast<std::uint32_t>(c - '0');
    return static_cast<std::uint32_t>((c | 0x20) - 'a' + 10);
}

void CheckReadingText(std::string_view text) {
    bool allHex = true;
    std::uint32_t value = 0;
    for (const char c : text) {
        allHex = allHex && IsHexDigit(c);
        if (allHex)
            value = value * 16 + DigitValue(c);
    }

    ByteString strict;
    bool strictFailed = false;
    try {
        strict = HexToBytes(text);
    } catch (const EHexError& e) {
        strictFailed = true;
        FUZZ_REQUIRE(std::string(e.what()) == "Error: not a Hex String", e.what());
    }
    FUZZ_REQUIRE(strictFailed == !allHex,
                 "HexToBytes judged \"" + FuzzShow(std::string(text)) + "\" wrongly");

    bool intFailed = false;
    std::uint32_t got = 0;
    try {
        got = HexToInt(text);
    } catch (const EHexError& e) {
        intFailed = true;
        FUZZ_REQUIRE(std::string(e.what()) == "Error: not a Hex String", e.what());
    }
    FUZZ_REQUIRE(intFailed == !allHex, "HexToInt judged the text wrongly");
    if (allHex)
        FUZZ_REQUIRE(got == value,
                     "HexToInt: " + std::to_string(got) + ", want " + std::to_string(value));

    const ByteString lenient = HexTextToBytes(text);
    ByteString runs;
    for (std::size_t i = 0; i < text.size();) {
        if (!IsHexDigit(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && IsHexDigit(text[end]))
            ++end;
        runs += HexToBytes(text.substr(i, end - i));
        i = end;
    }
    FUZZ_REQUIRE(lenient == runs, "HexTextToBytes(\"" + FuzzShow(std::string(text)) +
                                      "\") = " + FuzzShow(lenient) + ", want " + FuzzShow(runs));
    if (!strictFailed)
        FUZZ_REQUIRE(strict == lenient, "strict and lenient readings differ");
    if (allHex)
        FUZZ_REQUIRE(strict.size() == (text.size() + 1) / 2, "HexToBytes gave the wrong count");
}

void CheckWritingBytes(const ByteString& bytes) {
    const std::string hex = BytesToHex(bytes);
    FUZZ_REQUIRE(hex.size() == 2 * bytes.size(), "BytesToHex length");
    for (const char c : hex)
        FUZZ_REQUIRE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'), "BytesToHex: " + hex);
    FUZZ_REQUIRE(HexToBytes(hex) == bytes, "HexToBytes(BytesToHex) is not the identity");
    FUZZ_REQUIRE(HexTextToBytes(hex) == bytes, "HexTextToBytes(BytesToHex) is not the identity");
    std::string lower = hex;
    for (char& c : lower)
        if (c >= 'A' && c <= 'F')
            c = static_cast<char>(c | 0x20);
    FUZZ_REQUIRE(HexToBytes(lower) == bytes, "lower-case digits read differently");

    const std::string spaced = BytesToSpacedHex(bytes);
    FUZZ_REQUIRE(spaced.size() == (bytes.empty() ? 0 : 3 * bytes.size() - 1),
                 "BytesToSpacedHex length");
    std::string joined;
    for (std::size_t i = 0; i < spaced.size(); ++i) {
        if (i % 3 == 2)
            FUZZ_REQUIRE(spaced[i] == ' ', "BytesToSpacedHex: " + spaced);
        else
            joined += spaced[i];
    }
    FUZZ_REQUIRE(joined == hex, "BytesToSpacedHex and BytesToHex disagree");
    FUZZ_REQUIRE(HexTextToBytes(spaced) == bytes, "HexTextToBytes(BytesToSpacedHex)");

    if (bytes.size() <= 4) {
        std::uint32_t value = 0;
        for (const char c : bytes)
            value = value << 8 | static_cast<unsigned char>(c);
        FUZZ_REQUIRE(HexToInt(hex) == value, "HexToInt(BytesToHex)");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    CheckReadingText(input);
    CheckWritingBytes(input);
    return 0;
}
