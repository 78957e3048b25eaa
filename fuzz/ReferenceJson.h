// SPDX-License-Identifier: Apache-2.0
#pragma once

// A small strict JSON reader (RFC 8259, with I-JSON's ban on lone surrogate escapes; a leading
// byte order mark is ignored, as RFC 8259 allows), written apart from the settings parser so
// that the fuzz targets can judge it: it decides by itself
// whether a text is well-formed, and hands back the top-level members in document order with
// each value's kind and its text (a string's content, a number's literal as written).

#include <string>
#include <string_view>
#include <vector>

enum class JsonKind { String, Number, True, False, Null, Object, Array };

struct JsonMember {
    std::string Name; // decoded, UTF-8
    JsonKind Kind = JsonKind::Null;
    std::string Text; // a string's content (UTF-8) or the literal of a number; else empty
};

struct JsonReading {
    bool WellFormed = false;
    JsonKind TopKind = JsonKind::Null;
    std::vector<JsonMember> Members; // of a top-level object
};

JsonReading ReadJson(std::string_view utf8);

bool IsWellFormedUtf8(std::string_view bytes);
// Well-formed UTF-8 (as ReadJson hands out) to UTF-16.
std::u16string ReferenceUtf16(std::string_view utf8);
// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string ReferenceUtf8(std::u16string_view utf16);
