#include "untSettingsReader.h"

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
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
    explicit TSettingsSax(TSystemInfo& target) : target_(target) {}

    // Set when the top-level value turned out not to be an object.
    std::string_view TopLevelKind;
    // Set when a member could not be applied.
    std::string Failure;

    bool null() override { return Value({"null", "null", std::nullopt, {}}); }

    bool boolean(bool val) override {
        return Value({"a boolean", val ? "true" : "false", std::nullopt, {}});
    }

    bool number_integer(number_integer_t val) override {
        // The lexer hands only negative literals here (others come as unsigned), so a zero
        // was written "-0".
        std::string literal = val == 0 ? std::string{"-0"} : std::to_string(val);
        return Number(std::move(literal), val >= std::numeric_limits<std::int32_t>::min());
    }

    bool number_unsigned(number_unsigned_t val) override {
        // JSON allows neither a plus sign nor leading zeros: the decimal form is the literal.
        return Number(std::to_string(val), val <= static_cast<number_unsigned_t>(
                                                      std::numeric_limits<std::int32_t>::max()));
    }

    bool number_float(number_float_t /*val*/, const string_t& literal) override {
        // Integers too large for 64 bits also arrive here, with their literal intact.
        const bool integral = literal.find_first_of(".eE") == std::string::npos;
        return Value({"a number", literal, std::nullopt,
                      integral ? "is outside the 32-bit integer range"
                               : "is not an integer (fraction or exponent)"});
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
    int depth_ = 0; // open containers; 1 = inside the top-level object
    std::string memberName_;

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

std::string ApplySettingsMembers(const std::string& utf8Document, TSystemInfo& target) {
    TSettingsSax sax{target};
    json::sax_parse(utf8Document, &sax);
    if (!sax.TopLevelKind.empty()) {
        throw ESettingsTypeError("Invalid type cast: the settings document is " +
                                 std::string{sax.TopLevelKind} + ", not a JSON object");
    }
    return sax.Failure;
}
