// SPDX-License-Identifier: Apache-2.0
#include "untSystemInfo.h"

#include "untSettingsReader.h"
#include "untUtf16.h"

TSystemInfo SystemInfo;

namespace {

// One line, keys in the display's order; what "Default Setting" restores.
constexpr std::string_view kDefaultSettingsJson =
    R"({"code":"utf-8","temp1":0,"Baud_Rate":0,"temp2":0,"Char_No":0,"Expand_Char_No":0,)"
    R"("Comm_No":255,"product_class":"","product_name":"","wel_mess1":"***  VYL DISPLAY ***",)"
    R"("wel_mess2":"**HAVE A NICE DAY AND THANK YOU**","wel_mess1_hex":"","wel_mess2_hex":"",)"
    R"("chip":"","fw_compile_time":"","command_version":0,"back_light":3,"firmware_version":0,)"
    R"("temp3":0,"temp4":0})";

// Blanks and control characters around the document are not part of it; the display ends
// its reply with a NUL.
std::u16string_view TrimBlanks(std::u16string_view text) {
    while (!text.empty() && text.front() <= u' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() <= u' ') {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::string GetDefaultSettingsJson() {
    return std::string{kDefaultSettingsJson};
}

TParseResult ParseSettingsJson(std::u16string_view text) {
    return ParseSettingsJson(text, SystemInfo);
}

TParseResult ParseSettingsJson(std::u16string_view text, TSystemInfo& target) {
    if (text.empty()) {
        return {false, "Settings JsonStr is Emputy!"};
    }
    const TSettingsReading reading = ReadSettingsDocument(Utf16ToUtf8(TrimBlanks(text)), target);
    if (!reading.WellFormed) {
        return {false, "Parsing failed!"};
    }
    if (!reading.Failure.empty()) {
        return {false, "Get Settings Failed:" + reading.Failure};
    }
    return {true, {}};
}
