// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "ByteString.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// Raised by the strict hex conversions; the message is always "Error: not a Hex String".
class EHexError : public std::runtime_error {
public:
    EHexError();
};

std::string BytesToSpacedHex(const ByteString& bytes); // "00 AB 0F"
std::string BytesToHex(const ByteString& bytes);       // "00AB0F"
std::uint32_t HexToInt(std::string_view text);         // strict; "" gives 0
ByteString HexToBytes(std::string_view text);          // strict, two digits per byte
ByteString HexTextToBytes(std::string_view text);      // lenient, never fails

// Bit numbers count from 1: bit n is the mask 1 << (n - 1).
int GetBit(std::uint8_t value, int n);
void SetBit(std::uint8_t& value, int n, bool on);
