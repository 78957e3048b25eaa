// SPDX-License-Identifier: Apache-2.0
#include "untHex.h"

#include <optional>

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

std::optional<std::uint32_t> DigitValue(char c) {
    if (c >= '0' && c <= '9')
        return static_cast<std::uint32_t>(c - '0');
    if (c >= 'A' && c <= 'F')
        return static_cast<std::uint32_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return static_cast<std::uint32_t>(c - 'a' + 10);
    return std::nullopt;
}

bool IsHexDigit(char c) {
    return DigitValue(c).has_value();
}

} // namespace

EHexError::EHexError() : std::runtime_error("Error: not a Hex String") {}

std::string BytesToSpacedHex(const ByteString& bytes) {
    std::string out;
    out.reserve(bytes.size() * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            out += ' ';
        const auto b = static_cast<unsigned char>(bytes[i]);
        out += HexDigits[b >> 4];
        out += HexDigits[b & 0x0F];
    }
    return out;
}

std::string BytesToHex(const ByteString& bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += HexDigits[b >> 4];
        out += HexDigits[b & 0x0F];
    }
    return out;
}

std::uint32_t HexToInt(std::string_view text) {
    std::uint32_t value = 0;
    for (const char c : text) {
        const auto digit = DigitValue(c);
        if (!digit)
            throw EHexError();
        value = value * 16 + *digit; // wraps past eight digits, as a 32-bit value does
    }
    return value;
}

ByteString HexToBytes(std::string_view text) {
    ByteString out;
    out.reserve((text.size() + 1) / 2);
    for (std::size_t i = 0; i < text.size(); i += 2)
        out += static_cast<char>(HexToInt(text.substr(i, 2)) & 0xFF);
    return out;
}

ByteString HexTextToBytes(std::string_view text) {
    ByteString out;
    std::size_t p = 0;
    while (p < text.size()) {
        while (p < text.size() && !IsHexDigit(text[p]))
            ++p;
        if (p >= text.size())
            break;
        std::uint32_t value = *DigitValue(text[p]);
        if (p + 1 < text.size() && IsHexDigit(text[p + 1]))
            value = value * 16 + *DigitValue(text[p + 1]);
        out += static_cast<char>(value);
        // Past the pair, or past the lone digit and the separator after it.
        p += 2;
    }
    return out;
}

int GetBit(std::uint8_t value, int n) {
    if (n < 1 || n > 8)
        return 0;
    return (value & (1u << (n - 1))) != 0 ? 1 : 0;
}

void SetBit(std::uint8_t& value, int n, bool on) {
    if (n < 1 || n > 8)
        return;
    const auto mask = static_cast<std::uint8_t>(1u << (n - 1));
    value = on ? static_cast<std::uint8_t>(value | mask) : static_cast<std::uint8_t>(value & ~mask);
}
