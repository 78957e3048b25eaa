// SPDX-License-Identifier: Apache-2.0
#include "ReferenceSettings.h"

#include "FuzzCheck.h"
#include "ReferenceJson.h"

#include <charconv>
#include <cstdint>
#include <optional>

namespace {

std::u16string_view TrimControls(std::u16string_view text) {
    while (!text.empty() && text.front() <= 0x20)
        text.remove_prefix(1);
    while (!text.empty() && text.back() <= 0x20)
        text.remove_suffix(1);
    return text;
}

std::string_view TrimControls(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20)
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20)
        text.remove_suffix(1);
    return text;
}

// A decimal literal without fraction or exponent that fits 32 signed bits.
std::optional<std::int32_t> Int32Literal(const std::string& literal) {
    if (literal.find_first_of(".eE") != std::string::npos)
        return std::nullopt;
    std::int64_t value = 0;
    const bool negative = literal.front() == '-';
    for (std::size_t k = negative ? 1 : 0; k < literal.size(); ++k) {
        value = value * 10 + (literal[k] - '0');
        if (value > (std::int64_t{1} << 31))
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX || value < INT32_MIN)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::string TextForm(const JsonMember& member) {
    switch (member.Kind) {
    case JsonKind::String:
    case JsonKind::Number:
        return member.Text;
    case JsonKind::True:
        return "true";
    case JsonKind::False:
        return "false";
    case JsonKind::Null:
        return "null";
    case JsonKind::Object:
    case JsonKind::Array:
        return "";
    }
    return "";
}

// Applies one member; false when a byte field cannot take its value.
bool ApplyMember(const JsonMember& member, TSystemInfo& r) {
    const std::string_view name = TrimControls(std::string_view(member.Name));
    struct Narrow {
        std::string_view Key;
        std::string TSystemInfo::*Field;
    };
    static const Narrow narrow[] = {
        {"code", &TSystemInfo::code},
        {"product_class", &TSystemInfo::product_class},
        {"product_name", &TSystemInfo::product_name},
        {"wel_mess1_hex", &TSystemInfo::wel_mess1_hex},
        {"wel_mess2_hex", &TSystemInfo::wel_mess2_hex},
        {"chip", &TSystemInfo::chip},
        {"fw_compile_time", &TSystemInfo::fw_compile_time},
    };
    for (const Narrow& n : narrow)
        if (name == n.Key) {
            r.*n.Field = TextForm(member);
            return true;
        }
    if (name == "wel_mess1" || name == "wel_mess2") {
        (name == "wel_mess1" ? r.wel_mess1 : r.wel_mess2) = ReferenceUtf16(TextForm(member));
        return true;
    }
    struct Byte {
        std::string_view Key;
        std::uint8_t TSystemInfo::*Field;
    };
    static const Byte bytes[] = {
        {"temp1", &TSystemInfo::temp1},
        {"Baud_Rate", &TSystemInfo::Baud_Rate},
        {"temp2", &TSystemInfo::temp2},
        {"Char_No", &TSystemInfo::Char_No},
        {"Expand_Char_No", &TSystemInfo::Expand_Char_No},
        {"Comm_No", &TSystemInfo::Comm_No},
        {"command_version", &TSystemInfo::command_version},
        {"back_light", &TSystemInfo::back_light},
        {"firmware_version", &TSystemInfo::firmware_version},
        {"temp3", &TSystemInfo::temp3},
        {"temp4", &TSystemInfo::temp4},
    };
    for (const Byte& b : bytes)
        if (name == b.Key) {
            if (member.Kind != JsonKind::Number)
                return false;
            const auto value = Int32Literal(member.Text);
            if (!value)
                return false;
            r.*b.Field = static_cast<std::uint8_t>(static_cast<std::uint32_t>(*value) & 0xFF);
            return true;
        }
    return true; // not one of ours: skipped
}

} // namespace

SettingsExpectation ExpectedSettingsParse(std::u16string_view text, const TSystemInfo& start) {
    SettingsExpectation want;
    want.Record = start;
    if (text.empty()) {
        want.Outcome = SettingsOutcome::Empty;
        return want;
    }
    const JsonReading reading = ReadJson(ReferenceUtf8(TrimControls(text)));
    if (!reading.WellFormed) {
        want.Outcome = SettingsOutcome::Malformed;
        return want;
    }
    if (reading.TopKind != JsonKind::Object) {
        want.Outcome = SettingsOutcome::NotObject;
        return want;
    }
    for (const JsonMember& member : reading.Members) {
        if (!ApplyMember(member, want.Record)) {
            want.Outcome = SettingsOutcome::MemberFailed;
            want.FailedKey = std::string(TrimControls(std::string_view(member.Name)));
            return want;
        }
    }
    want.Outcome = SettingsOutcome::Applied;
    return want;
}

namespace {

std::string Show(const std::u16string& text) {
    return FuzzShow(ReferenceUtf8(text));
}

} // namespace

std::string RecordDifference(const TSystemInfo& want, const TSystemInfo& got) {
#define VYL_FUZZ_COMPARE_TEXT(field)                                                               \
    if (want.field != got.field)                                                                   \
        return #field ": want \"" + FuzzShow(want.field) + "\", got \"" + FuzzShow(got.field) +    \
               "\"";
#define VYL_FUZZ_COMPARE_WIDE(field)                                                               \
    if (want.field != got.field)                                                                   \
        return #field ": want \"" + Show(want.field) + "\", got \"" + Show(got.field) + "\"";
#define VYL_FUZZ_COMPARE_NUMBER(field)                                                             \
    if (want.field != got.field)                                                                   \
        return #field ": want " + std::to_string(want.field) + ", got " + std::to_string(got.field);
    VYL_FUZZ_COMPARE_TEXT(code)
    VYL_FUZZ_COMPARE_NUMBER(temp1)
    VYL_FUZZ_COMPARE_NUMBER(Baud_Rate)
    VYL_FUZZ_COMPARE_NUMBER(temp2)
    VYL_FUZZ_COMPARE_NUMBER(Char_No)
    VYL_FUZZ_COMPARE_NUMBER(Expand_Char_No)
    VYL_FUZZ_COMPARE_NUMBER(Comm_No)
    VYL_FUZZ_COMPARE_TEXT(product_class)
    VYL_FUZZ_COMPARE_TEXT(product_name)
    VYL_FUZZ_COMPARE_WIDE(wel_mess1)
    VYL_FUZZ_COMPARE_WIDE(wel_mess2)
    VYL_FUZZ_COMPARE_TEXT(wel_mess1_hex)
    VYL_FUZZ_COMPARE_TEXT(wel_mess2_hex)
    VYL_FUZZ_COMPARE_TEXT(chip)
    VYL_FUZZ_COMPARE_TEXT(fw_compile_time)
    VYL_FUZZ_COMPARE_NUMBER(command_version)
    VYL_FUZZ_COMPARE_NUMBER(back_light)
    VYL_FUZZ_COMPARE_NUMBER(firmware_version)
    VYL_FUZZ_COMPARE_NUMBER(temp3)
    VYL_FUZZ_COMPARE_NUMBER(temp4)
    VYL_FUZZ_COMPARE_NUMBER(jpos)
#undef VYL_FUZZ_COMPARE_TEXT
#undef VYL_FUZZ_COMPARE_WIDE
#undef VYL_FUZZ_COMPARE_NUMBER
    return {};
}
