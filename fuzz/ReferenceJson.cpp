// SPDX-License-Identifier: Apache-2.0
#include "ReferenceJson.h"

#include <cstdint>
#include <optional>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::optional<unsigned> HexValue(char c) {
    if (IsDigit(c))
        return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<unsigned>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return static_cast<unsigned>(c - 'A' + 10);
    return std::nullopt;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// One UTF-8 sequence at `at` as RFC 3629 allows it (no overlong form, no surrogate, nothing
// past U+10FFFF); its code point and length, or nothing.
std::optional<std::pair<std::uint32_t, std::size_t>> DecodeUtf8At(std::string_view s,
                                                                  std::size_t at) {
    const auto b0 = static_cast<unsigned char>(s[at]);
    if (b0 < 0x80)
        return std::pair<std::uint32_t, std::size_t>{b0, 1};
    std::size_t length = 0;
    std::uint32_t cp = 0;
    std::uint32_t least = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2, cp = b0 & 0x1F, least = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3, cp = b0 & 0x0F, least = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4, cp = b0 & 0x07, least = 0x10000;
    } else {
        return std::nullopt;
    }
    if (at + length > s.size())
        return std::nullopt;
    for (std::size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(s[at + k]);
        if ((b & 0xC0) != 0x80)
            return std::nullopt;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return std::nullopt;
    return std::pair<std::uint32_t, std::size_t>{cp, length};
}

class Reader {
public:
    explicit Reader(std::string_view text) : s_(text) {}

    JsonReading Read() {
        JsonReading reading;
        reading.WellFormed = Document(reading);
        if (!reading.WellFormed)
            reading.Members.clear();
        return reading;
    }

private:
    std::string_view s_;
    std::size_t i_ = 0;

    bool AtEnd() const { return i_ >= s_.size(); }
    char Peek() const { return s_[i_]; }

    void SkipBlanks() {
        while (!AtEnd() && IsBlank(Peek()))
            ++i_;
    }

    bool Expect(char c) {
        if (AtEnd() || Peek() != c)
            return false;
        ++i_;
        return true;
    }

    bool Word(std::string_view word) {
        if (s_.substr(i_, word.size()) != word)
            return false;
        i_ += word.size();
        return true;
    }

    std::optional<unsigned> Hex4() {
        if (i_ + 4 > s_.size())
            return std::nullopt;
        unsigned value = 0;
        for (int k = 0; k < 4; ++k) {
            const auto digit = HexValue(s_[i_++]);
            if (!digit)
                return std::nullopt;
            value = value * 16 + *digit;
        }
        return value;
    }

    bool String(std::string& out) {
        if (!Expect('"'))
            return false;
        out.clear();
        for (;;) {
            if (AtEnd())
                return false;
            const char c = Peek();
            if (c == '"') {
                ++i_;
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20)
                return false;
            if (c != '\\') {
                const auto sequence = DecodeUtf8At(s_, i_);
                if (!sequence)
                    return false;
                out.append(s_.substr(i_, sequence->second));
                i_ += sequence->second;
                continue;
            }
            ++i_;
            if (AtEnd())
                return false;
            const char e = s_[i_++];
            switch (e) {
            case '"':
            case '\\':
            case '/':
                out += e;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                const auto unit = Hex4();
                if (!unit)
                    return false;
                std::uint32_t cp = *unit;
                if (cp >= 0xDC00 && cp <= 0xDFFF)
                    return false;
                if (cp >= 0xD800 && cp <= 0xDBFF) {
                    if (!Word("\\u"))
                        return false;
                    const auto low = Hex4();
                    if (!low || *low < 0xDC00 || *low > 0xDFFF)
                        return false;
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (*low - 0xDC00);
                }
                AppendUtf8(out, cp);
                break;
            }
            default:
                return false;
            }
        }
    }

    bool Digits() {
        if (AtEnd() || !IsDigit(Peek()))
            return false;
        while (!AtEnd() && IsDigit(Peek()))
            ++i_;
        return true;
    }

    // Any magnitude: JSON sets no bound (1e400 and a 400-digit integer are numbers).
    bool Number(std::string& literal) {
        const std::size_t start = i_;
        Expect('-');
        if (Expect('0')) {
            // no more digits after a leading zero
        } else if (!Digits()) {
            return false;
        }
        if (Expect('.') && !Digits())
            return false;
        if (!AtEnd() && (Peek() == 'e' || Peek() == 'E')) {
            ++i_;
            if (!AtEnd() && (Peek() == '+' || Peek() == '-'))
                ++i_;
            if (!Digits())
                return false;
        }
        literal = std::string(s_.substr(start, i_ - start));
        return true;
    }

    // One value; containers are walked with an explicit stack so that depth costs no stack.
    // Members of the top-level object are recorded as they complete.
    bool Document(JsonReading& reading) {
        std::vector<char> open; // '{' or '[' per open container
        JsonMember member;      // the top-level member being read
        SkipBlanks();
        for (;;) {
            // A value starts here.
            SkipBlanks();
            if (AtEnd())
                return false;
            const bool topMember = open.size() == 1 && open.back() == '{';
            const bool topLevel = open.empty();
            JsonKind kind;
            std::string text;
            bool container = false;
            switch (Peek()) {
            case '{':
            case '[':
                kind = Peek() == '{' ? JsonKind::Object : JsonKind::Array;
                open.push_back(Peek());
                ++i_;
                container = true;
                break;
            case '"':
                kind = JsonKind::String;
                if (!String(text))
                    return false;
                break;
            case 't':
                kind = JsonKind::True;
                if (!Word("true"))
                    return false;
                break;
            case 'f':
                kind = JsonKind::False;
                if (!Word("false"))
                    return false;
                break;
            case 'n':
                kind = JsonKind::Null;
                if (!Word("null"))
                    return false;
                break;
            default:
                kind = JsonKind::Number;
                if (!Number(text))
                    return false;
            }
            if (topLevel)
                reading.TopKind = kind;
            if (topMember) {
                member.Kind = kind;
                member.Text = std::move(text);
                reading.Members.push_back(member);
            }
            if (container) {
                SkipBlanks();
                const char close = open.back() == '{' ? '}' : ']';
                if (Expect(close)) {
                    open.pop_back();
                } else {
                    if (open.back() == '{' && !Key(open.size() == 1, member))
                        return false;
                    continue;
                }
            }
            // After a value: the next member or element, or the end of containers.
            for (;;) {
                SkipBlanks();
                if (open.empty())
                    return AtEnd();
                if (Expect(',')) {
                    if (open.back() == '{' && !Key(open.size() == 1, member))
                        return false;
                    break;
                }
                if (!Expect(open.back() == '{' ? '}' : ']'))
                    return false;
                open.pop_back();
            }
        }
    }

    // A member's name and its colon.
    bool Key(bool topLevel, JsonMember& member) {
        SkipBlanks();
        std::string name;
        if (!String(name))
            return false;
        if (topLevel)
            member.Name = std::move(name);
        SkipBlanks();
        return Expect(':');
    }
};

} // namespace

JsonReading ReadJson(std::string_view utf8) {
    if (utf8.starts_with("\xEF\xBB\xBF"))
        utf8.remove_prefix(3);
    return Reader(utf8).Read();
}

bool IsWellFormedUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto sequence = DecodeUtf8At(bytes, i);
        if (!sequence)
            return false;
        i += sequence->second;
    }
    return true;
}

std::u16string ReferenceUtf16(std::string_view utf8) {
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto sequence = DecodeUtf8At(utf8, i);
        if (!sequence) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        const std::uint32_t cp = sequence->first;
        if (cp >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += sequence->second;
    }
    return out;
}

std::string ReferenceUtf8(std::u16string_view utf16) {
    std::string out;
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        std::uint32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}
