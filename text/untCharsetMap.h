// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <array>
#include <cstdint>
#include <span>

// One (UTF-16 code unit, byte) pair of a built-in single-byte character map.
struct TCharsetPair {
    char16_t Unicode;
    std::uint8_t Byte;
};

// ISO/IEC 8859-7:2003: every defined byte (all but 0xAE, 0xD2, 0xFF), ascending by byte.
extern const std::array<TCharsetPair, 253> ISO8859_7_Map;

// The byte of the first pair holding `unit`, 0xFF when the map has none.
std::uint8_t MapCharToByte(std::span<const TCharsetPair> map, char16_t unit);
