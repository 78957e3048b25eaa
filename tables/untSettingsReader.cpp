// SPDX-License-Identifier: Apache-2.0
#include "untSettingsReader.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <string_view>
#include <system_error>
#include <variant>

#include <nlohmann/json.hpp>

#include "untUtf16.h"

namespace {

using json = nlohmann::json;

using ByteField = std::uint8_t TSystemInfo::*;
using NarrowField = std::string TSystemInfo::*;
using WideField = std::u16string TSystemInfo::*;
using Field = std::variant<ByteField, NarrowField, WideField>;

struct TKey {
    std::string_view Name;
    Field Target;
};

const std::array<TKey, 20> kKeys{{
    {"code", &TSystemInfo::code},
    {"temp1", &TSystemInfo::temp1},
    {"Baud_Rate", &TSystemInfo::Baud_Rate},
    {"temp2", &TSystemInfo::temp2},
    {"Char_No", &TSystemInfo::Char_No},
    {"Expand_Char_No", &TSystemInfo::Expand_Char_No},
    {"Comm_No", &TSystemInfo::Comm_No},
    {"product_class", &TSystemInfo::product_class},
    {"product_name", &TSystemInfo::product_name},
    {"wel_mess1", &TSystemInfo::wel_mess1},
    {"wel_mess2", &TSystemInfo::wel_mess2},
    {"wel_mess1_hex", &TSystemInfo::wel_mess1_hex},
    {"wel_mess2_hex", &TSystemInfo::wel_mess2_hex},
    {"chip", &TSystemInfo::chip},
    {"fw_compile_time", &TSystemInfo::fw_compile_time},
    {"command_version", &TSystemInfo::command_version},
    {"back_light", &TSystemInfo::back_light},
    {"firmware_version", &TSystemInfo::firmware_version},
    {"temp3", &TSystemInfo::temp3},
    {"temp4", &TSystemInfo::temp4},
}};

// Blanks and control characters around a name are not part of it. In UTF-8 every such
// character is one byte, and no byte of a longer sequence is that small.
std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) {
        text.remove_prefix(1);
    }
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) {
        text.remove_suffix(1);
    }
    return text;
}

const TKey* FindKey(std::string_view name) {
    for (const TKey& key : kKeys) {
        if (key.Name == name) {
            return &key;
        }
    }
    return nullptr;
}

// JSON sets no limit on numbers, but nlohmann's reader (its well-formedness check too) fails at
// a number that overflows a double. The document is handed to it with each such number written
// as 0, and the walk takes the literal back by the number's place among all numbers, which the
// reader reports one by one in document order.
struct TPreparedDocument {
    std::string Json;
    std::map<std::size_t, std::string> WideNumbers; // place among the numbers -> literal
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?, the whole text.
bool IsJsonNumber(std::string_view text) {
    std::size_t i = 0;
    auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
        }
        return i > start;
    };
    if (i < text.size() && text[i] == '-') {
        ++i;
    }
    if (i < text.size() && text[i] == '0') {
        ++i;
    } else if (!digits()) {
        return false;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        if (!digits()) {
            return false;
        }
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        if (!digits()) {
            return false;
        }
    }
    return i == text.size();
}

bool BeyondADouble(std::string_view number) {
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    // Numbers too small for a double land here too; the walk reads either kind by its literal.
    return error == std::errc::result_out_of_range;
}

// Nothing when the text cannot be JSON: a raw NUL anywhere (the reader would take it for the end
// of its input and accept whatever document came before it), or a run of number characters
// outside strings that is not one number.
std::optional<TPreparedDocument> Prepare(std::string_view text) {
    TPreparedDocument prepared;
    prepared.Json.reserve(text.size());
    std::size_t numbers = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '\0') {
            return std::nullopt;
        }
        if (inString) {
            const std::size_t length = c == '\\' && i + 1 < text.size() ? 2 : 1;
            inString = c != '"';
            prepared.Json.append(text.substr(i, length));
            i += length;
            continue;
        }
        if (c != '-' && !IsDigit(c)) {
            inString = c == '"';
            prepared.Json += c;
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && (IsDigit(text[end]) || text[end] == '-' || text[end] == '+' ||
                                     text[end] == '.' || text[end] == 'e' || text[end] == 'E')) {
            ++end;
        }
        // Two values side by side are malformed whatever they are, so a run that is not one
        // number never belongs to a well-formed document.
        const std::string_view number = text.substr(i, end - i);
        if (!IsJsonNumber(number)) {
            return std::nullopt;
        }
        if (BeyondADouble(number)) {
            prepared.WideNumbers.emplace(numbers, std::string{number});
            prepared.Json += '0';
        } else {
            prepared.Json.append(number);
        }
        ++numbers;
        i = end;
    }
    return prepared;
}

// A member value as the walk sees it: the JSON kind, the text a text field takes, and for
// numbers whether the literal is a decimal 32-bit signed integer.
struct TValue {
    std::string_view Kind; // "a string", "a number", ...
    std::string Text;
    std::optional<std::int32_t> Int32;
    std::string_view NumberFault; // why a number is no 32-bit integer
};

class TSettingsSax final : public nlohmann::json_sax<json> {
public:
    TSettingsSax(TSystemInfo& target, const std::map<std::size_t, std::string>& wideNumbers)
        : target_(target), wideNumbers_(wideNumbers) {}

    // Set when the top-level value turned out not to be an object.
    std::string_view TopLevelKind;
    // Set when a member could not be applied.
    std::string Failure;

    bool null() override { return Value({"null", "null", std::nullopt, {}}); }

    bool boolean(bool val) override {
        return Value({"a boolean", val ? "true" : "false", std::nullopt, {}});
    }

    bool number_integer(number_integer_t val) override {
        if (const std::string* literal = WideNumber()) {
            return Inexact(*literal);
        }
        // The lexer hands only negative literals here (others come as unsigned), so a zero
        // was written "-0".
        std::string literal = val == 0 ? std::string{"-0"} : std::to_string(val);
        return Number(std::move(literal), val >= std::numeric_limits<std::int32_t>::min());
    }

    bool number_unsigned(number_unsigned_t val) override {
        if (const std::string* literal = WideNumber()) {
            return Inexact(*literal);
        }
        // JSON allows neither a plus sign nor leading zeros: the decimal form is the literal.
        return Number(std::to_string(val), val <= static_cast<number_unsigned_t>(
                                                      std::numeric_limits<std::int32_t>::max()));
    }

    bool number_float(number_float_t /*val*/, const string_t& literal) override {
        if (const std::string* wide = WideNumber()) {
            return Inexact(*wide);
        }
        // Integers too large for 64 bits also arrive here, with their literal intact.
        return Inexact(literal);
    }

    bool string(string_t& val) override { return Value({"a string", val, std::nullopt, {}}); }

    bool binary(binary_t& /*val*/) override { return Value({"binary data", "", std::nullopt, {}}); }

    bool start_object(std::size_t /*elements*/) override { return Open("an object"); }

    bool key(string_t& val) override {
        if (depth_ == 1) {
            memberName_ = std::string{TrimBlanks(val)};
        }
        return true;
    }

    bool end_object() override {
        --depth_;
        return true;
    }

    bool start_array(std::size_t /*elements*/) override { return Open("an array"); }

    bool end_array() override {
        --depth_;
        return true;
    }

    bool parse_error(std::size_t /*position*/, const std::string& /*last_token*/,
                     const nlohmann::detail::exception& ex) override {
        // The document was checked before the walk; this only guards against a reader that
        // disagrees with its own check.
        Failure = ex.what();
        return false;
    }

private:
    TSystemInfo& target_;
    const std::map<std::size_t, std::string>& wideNumbers_;
    std::size_t numbers_ = 0; // numbers met so far, at any depth
    int depth_ = 0;           // open containers; 1 = inside the top-level object
    std::string memberName_;

    // The literal of a number that reached the reader as 0, when the current one is such.
    const std::string* WideNumber() {
        const auto found = wideNumbers_.find(numbers_++);
        return found == wideNumbers_.end() ? nullptr : &found->second;
    }

    // A number no byte field can take: a fraction, an exponent or more than 64 bits.
    bool Inexact(const std::string& literal) {
        const bool integral = literal.find_first_of(".eE") == std::string::npos;
        return Value({"a number", literal, std::nullopt,
                      integral ? "is outside the 32-bit integer range"
                               : "is not an integer (fraction or exponent)"});
    }

    bool Number(std::string literal, bool inRange) {
        TValue value{"a number", std::move(literal), std::nullopt, {}};
        if (inRange) {
            value.Int32 = static_cast<std::int32_t>(std::stoll(value.Text));
        } else {
            value.NumberFault = "is outside the 32-bit integer range";
        }
        return Value(std::move(value));
    }

    bool Open(std::string_view kind) {
        if (depth_ == 0) {
            ++depth_;
            if (kind != "an object") {
                TopLevelKind = kind;
                return false;
            }
            return true;
        }
        // A container as a member value: its own members are not top-level members and are
        // never applied, but the member itself is (text fields take empty text).
        const bool go = depth_ != 1 || Apply({kind, "", std::nullopt, {}});
        ++depth_;
        return go;
    }

    bool Value(TValue value) {
        if (depth_ == 0) {
            TopLevelKind = value.Kind;
            return false;
        }
        return depth_ != 1 || Apply(value);
    }

    bool Apply(const TValue& value) {
        const TKey* key = FindKey(memberName_);
        if (key == nullptr) {
            return true;
        }
        return std::visit([&](auto field) { return Store(*key, field, value); }, key->Target);
    }

    bool Store(const TKey& /*key*/, NarrowField field, const TValue& value) {
        target_.*field = value.Text;
        return true;
    }

    bool Store(const TKey& /*key*/, WideField field, const TValue& value) {
        target_.*field = Utf8ToUtf16(value.Text);
        return true;
    }

    bool Store(const TKey& key, ByteField field, const TValue& value) {
        if (value.Kind != "a number") {
            Failure = std::string{key.Name} + ": expected an integer number, got " +
                      std::string{value.Kind};
            return false;
        }
        if (!value.Int32) {
            Failure = std::string{key.Name} + ": the number " + value.Text + " " +
                      std::string{value.NumberFault};
            return false;
        }
        // The display keeps one byte: the low 8 bits, so 256 is 0 and -1 is 255.
        target_.*field = static_cast<std::uint8_t>(static_cast<std::uint32_t>(*value.Int32));
        return true;
    }
};

} // namespace

TSettingsReading ReadSettingsDocument(std::string_view utf8Document, TSystemInfo& target) {
    const std::optional<TPreparedDocument> prepared = Prepare(utf8Document);
    // A streaming walk meets a syntax error only after the members before it; checking the
    // whole text first keeps a malformed document from changing the record at all.
    if (!prepared || !json::accept(prepared->Json)) {
        return {false, {}};
    }
    TSettingsSax sax{target, prepared->WideNumbers};
    json::sax_parse(prepared->Json, &sax);
    if (!sax.TopLevelKind.empty()) {
        throw ESettingsTypeError("Invalid type cast: the settings document is " +
                                 std::string{sax.TopLevelKind} + ", not a JSON object");
    }
    return {true, sax.Failure};
}
