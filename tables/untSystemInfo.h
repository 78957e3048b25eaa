// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// The display's settings. Narrow texts are UTF-8.
struct TSystemInfo {
    std::string code;
    std::uint8_t temp1 = 0;
    std::uint8_t Baud_Rate = 0;
    std::uint8_t temp2 = 0;
    std::uint8_t Char_No = 0;
    std::uint8_t Expand_Char_No = 0;
    std::uint8_t Comm_No = 0;
    std::string product_class;
    std::string product_name;
    std::u16string wel_mess1;
    std::u16string wel_mess2;
    std::string wel_mess1_hex;
    std::string wel_mess2_hex;
    std::string chip;
    std::string fw_compile_time;
    std::uint8_t command_version = 0;
    std::uint8_t back_light = 0;
    std::uint8_t firmware_version = 0;
    std::uint8_t temp3 = 0;
    std::uint8_t temp4 = 0;
    bool jpos = false;
};

// Process-wide current settings (the port and line speed are the window's:
// TfrmVylSetup::CurrentPortName, CurrentBaudRate).
extern TSystemInfo SystemInfo;

// The built-in default document, verbatim.
std::string GetDefaultSettingsJson();

struct TParseResult {
    bool Success = false;
    std::string Error; // empty on success
};

// A settings document whose top-level value is not an object.
class ESettingsTypeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads a settings document into `target` (SystemInfo in the one-argument form); only the
// fields whose keys the document has change. Throws ESettingsTypeError when the top-level value
// is not an object (the record is then unchanged).
//
// Only characters at or below U+0020 before and after the document are dropped; a NUL with
// more text after it is part of the text, which is then not well-formed. A caller decoding a
// reply from the wire must therefore cut the reply at its first 00 byte itself: the bytes that
// follow it are whatever arrived in the same read.
TParseResult ParseSettingsJson(std::u16string_view text, TSystemInfo& target);
TParseResult ParseSettingsJson(std::u16string_view text);
