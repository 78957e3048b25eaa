// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <tuple>

#include "untSystemInfo.h"
#include "untUtf16.h"

namespace {

std::u16string U(std::string_view utf8) {
    return Utf8ToUtf16(utf8);
}

// Each test reads into a record of its own, starting zeroed.
class SettingsDocument : public ::testing::Test {
protected:
    TSystemInfo Info;

    TParseResult Parse(std::string_view utf8) { return ParseSettingsJson(U(utf8), Info); }

    // A record with every field set to something no test document uses.
    static TSystemInfo Marked() {
        return {.code = "c",
                .temp1 = 11,
                .Baud_Rate = 12,
                .temp2 = 13,
                .Char_No = 14,
                .Expand_Char_No = 15,
                .Comm_No = 16,
                .product_class = "pc",
                .product_name = "pn",
                .wel_mess1 = u"w1",
                .wel_mess2 = u"w2",
                .wel_mess1_hex = "h1",
                .wel_mess2_hex = "h2",
                .chip = "chip",
                .fw_compile_time = "fw",
                .command_version = 17,
                .back_light = 18,
                .firmware_version = 19,
                .temp3 = 20,
                .temp4 = 21,
                .jpos = true};
    }

    static auto Fields(const TSystemInfo& r) {
        return std::tie(r.code, r.temp1, r.Baud_Rate, r.temp2, r.Char_No, r.Expand_Char_No,
                        r.Comm_No, r.product_class, r.product_name, r.wel_mess1, r.wel_mess2,
                        r.wel_mess1_hex, r.wel_mess2_hex, r.chip, r.fw_compile_time,
                        r.command_version, r.back_light, r.firmware_version, r.temp3, r.temp4,
                        r.jpos);
    }

    static void ExpectSame(const TSystemInfo& a, const TSystemInfo& b) {
        EXPECT_EQ(Fields(a), Fields(b));
    }
};

} // namespace

TEST_F(SettingsDocument, DefaultDocumentIsOneCompactLineInKeyOrder) {
    const std::string doc = GetDefaultSettingsJson();
    // Re-serialising in document order without blanks must give the text back unchanged.
    const auto parsed = nlohmann::ordered_json::parse(doc);
    EXPECT_EQ(parsed.dump(), doc);
    const char* keys[] = {"code",
                          "temp1",
                          "Baud_Rate",
                          "temp2",
                          "Char_No",
                          "Expand_Char_No",
                          "Comm_No",
                          "product_class",
                          "product_name",
                          "wel_mess1",
                          "wel_mess2",
                          "wel_mess1_hex",
                          "wel_mess2_hex",
                          "chip",
                          "fw_compile_time",
                          "command_version",
                          "back_light",
                          "firmware_version",
                          "temp3",
                          "temp4"};
    ASSERT_EQ(parsed.size(), std::size(keys));
    std::size_t i = 0;
    for (const auto& [key, value] : parsed.items()) {
        EXPECT_EQ(key, keys[i++]);
    }
    EXPECT_EQ(parsed["wel_mess1"], "***  VYL DISPLAY ***");
    EXPECT_EQ(parsed["wel_mess2"], "**HAVE A NICE DAY AND THANK YOU**");
    EXPECT_EQ(parsed["code"], "utf-8");
}

TEST_F(SettingsDocument, DefaultDocumentResetsTheRecord) {
    Info = Marked();
    const TParseResult r = Parse(GetDefaultSettingsJson());
    EXPECT_TRUE(r.Success);
    EXPECT_EQ(r.Error, "");
    TSystemInfo expected; // every number 0, texts empty ...
    expected.code = "utf-8";
    expected.Comm_No = 255;
    expected.back_light = 3;
    expected.wel_mess1 = u"***  VYL DISPLAY ***";
    expected.wel_mess2 = u"**HAVE A NICE DAY AND THANK YOU**";
    expected.jpos = true; // ... but the document does not carry jpos
    ExpectSame(Info, expected);
    EXPECT_EQ(Info.wel_mess1.size(), 20u);
    EXPECT_EQ(Info.wel_mess2.size(), 33u);
}

TEST(SettingsState, ProcessStartsWithAZeroedRecord) {
    // The one test that reads into the record restores it, so this sees the state the program
    // starts with, whatever order the tests run in.
    EXPECT_TRUE(SystemInfo.code.empty());
    EXPECT_TRUE(SystemInfo.product_name.empty());
    EXPECT_TRUE(SystemInfo.wel_mess1.empty());
    EXPECT_TRUE(SystemInfo.wel_mess2.empty());
    EXPECT_EQ(SystemInfo.Comm_No, 0);
    EXPECT_EQ(SystemInfo.back_light, 0);
    EXPECT_FALSE(SystemInfo.jpos);
}

TEST(SettingsState, OneArgumentFormReadsIntoTheProcessRecordOnly) {
    const TSystemInfo saved = SystemInfo;
    SystemInfo = TSystemInfo{};
    TSystemInfo own;
    own.Comm_No = 9;
    const TParseResult good = ParseSettingsJson(u"{\"Comm_No\":3,\"chip\":\"g\"}");
    const TParseResult ownGood = ParseSettingsJson(u"{\"Comm_No\":4}", own);
    const TParseResult bad = ParseSettingsJson(u"{\"back_light\":2,\"Comm_No\":\"x\"}");
    EXPECT_THROW(ParseSettingsJson(u"[]"), ESettingsTypeError);
    const TSystemInfo global = SystemInfo;
    SystemInfo = saved;

    EXPECT_TRUE(good.Success);
    EXPECT_TRUE(ownGood.Success);
    EXPECT_EQ(bad.Error, "Get Settings Failed:Comm_No: expected an integer number, got a string");
    EXPECT_EQ(global.Comm_No, 3);
    EXPECT_EQ(global.chip, "g");
    EXPECT_EQ(global.back_light, 2);
    EXPECT_EQ(own.Comm_No, 4);
    EXPECT_EQ(own.chip, "");
    EXPECT_EQ(own.back_light, 0);
}

TEST_F(SettingsDocument, EmptyBlankAndMalformedTextsChangeNothing) {
    Info = Marked();
    TParseResult r = ParseSettingsJson(u"", Info);
    EXPECT_FALSE(r.Success);
    EXPECT_EQ(r.Error, "Settings JsonStr is Emputy!");

    for (std::u16string_view text :
         {std::u16string_view{u" \r\n\t"}, std::u16string_view{u"\0", 1}, std::u16string_view{u"{"},
          std::u16string_view{u"{\"Comm_No\":1,}"}, std::u16string_view{u"{\"Comm_No\":01}"},
          std::u16string_view{u"{} {}"}, std::u16string_view{u"{\"Comm_No\":1} x"},
          std::u16string_view{u"{'Comm_No':1}"},
          // A NUL between the document and more text is part of the text, not its end.
          std::u16string_view{u"{\"Comm_No\":5}\0x", 15},
          std::u16string_view{u"{\"Comm_No\":5}\0\0 \0{}", 19}}) {
        r = ParseSettingsJson(text, Info);
        EXPECT_FALSE(r.Success) << Utf16ToUtf8(text);
        EXPECT_EQ(r.Error, "Parsing failed!");
    }
    // A syntax error after well-formed members: a streaming reader has applied them by then.
    r = Parse(R"({"Comm_No":1,"product_name":"X","back_light":2,"chip":)");
    EXPECT_FALSE(r.Success);
    EXPECT_EQ(r.Error, "Parsing failed!");
    r = Parse(R"({"Comm_No":1,"product_name":"X" "back_light":2})");
    EXPECT_EQ(r.Error, "Parsing failed!");
    ExpectSame(Info, Marked());

    r = Parse("{}");
    EXPECT_TRUE(r.Success);
    EXPECT_EQ(r.Error, "");
    ExpectSame(Info, Marked());
}

TEST_F(SettingsDocument, BlanksAndTheDisplaysNulAroundTheDocumentAreIgnored) {
    std::u16string text = u"\r\n \t{\"Comm_No\":7,\"chip\":\"A\"}\r\n";
    text.push_back(u'\0');
    text += u"\n";
    const TParseResult r = ParseSettingsJson(text, Info);
    EXPECT_TRUE(r.Success) << r.Error;
    EXPECT_EQ(Info.Comm_No, 7);
    EXPECT_EQ(Info.chip, "A");
}

TEST_F(SettingsDocument, ByteFieldsTakeTheLowBitsOf32BitIntegers) {
    struct {
        const char* literal;
        int stored;
    } const cases[] = {{"0", 0},           {"255", 255}, {"256", 0},  {"-1", 255},
                       {"-0", 0},          {"513", 1},   {"-256", 0}, {"2147483647", 255},
                       {"-2147483648", 0}, {"-129", 127}};
    for (const auto& c : cases) {
        Info.Comm_No = 99;
        const TParseResult r = Parse(std::string{R"({"Comm_No":)"} + c.literal + "}");
        EXPECT_TRUE(r.Success) << c.literal << ": " << r.Error;
        EXPECT_EQ(Info.Comm_No, c.stored) << c.literal;
    }
}

TEST_F(SettingsDocument, NumbersThatAreNot32BitIntegersStopTheWalk) {
    const std::string literals[] = {"1.5", "1e2", "1E2", "2.0", "-0.0", "2147483648", "-2147483649",
                                    "4294967296", "18446744073709551615", "99999999999999999999999",
                                    // Beyond a double's range: still numbers, still no bytes.
                                    "1e400", "-1.8e308", "1E+999", "1e-400", std::string(400, '9'),
                                    "-" + std::string(400, '7')};
    for (const std::string& literal : literals) {
        Info = TSystemInfo{};
        const TParseResult r =
            Parse(std::string{R"({"back_light":2,"Char_No":)"} + literal + R"(,"temp4":9})");
        EXPECT_FALSE(r.Success) << literal;
        EXPECT_TRUE(r.Error.starts_with("Get Settings Failed:Char_No: ")) << r.Error;
        EXPECT_NE(r.Error.find(literal), std::string::npos) << r.Error;
        EXPECT_EQ(Info.back_light, 2) << literal; // applied before the bad member
        EXPECT_EQ(Info.Char_No, 0) << literal;
        EXPECT_EQ(Info.temp4, 0) << literal; // never reached
    }
}

TEST_F(SettingsDocument, NumbersBeyondADoubleAreNumbers) {
    const std::string huge(400, '9');
    TParseResult r = Parse(R"({"product_name":1e400,"Comm_No":2})");
    EXPECT_TRUE(r.Success) << r.Error;
    EXPECT_EQ(Info.product_name, "1e400");
    EXPECT_EQ(Info.Comm_No, 2);

    // Text fields take the literal, wherever such numbers stand among the others: inside
    // nested values, next to ordinary numbers, and beside strings that merely look like them.
    r = Parse(R"({"extra":[1,-1.8e308,{"x":2e999}],"temp1":5,"chip":-1.8e308,)"
              R"("1e400":"9e999","code":)" +
              huge +
              R"(,"fw_compile_time":"1e400x","temp3":7,"wel_mess1":1E+400,)"
              R"("product_class":1e-400,"temp4":8})");
    ASSERT_TRUE(r.Success) << r.Error;
    EXPECT_EQ(Info.temp1, 5);
    EXPECT_EQ(Info.chip, "-1.8e308");
    EXPECT_EQ(Info.code, huge);
    EXPECT_EQ(Info.fw_compile_time, "1e400x");
    EXPECT_EQ(Info.temp3, 7);
    EXPECT_EQ(Info.wel_mess1, u"1E+400");
    EXPECT_EQ(Info.product_class, "1e-400");
    EXPECT_EQ(Info.temp4, 8);

    // Out of range or not, a malformed number is still malformed.
    Info = Marked();
    for (const std::string doc : {R"({"chip":1e400x})", R"({"chip":01e400})", R"({"chip":1e400 2})",
                                  R"({"chip":1.e400})", R"({"chip":+1e400})", R"({"chip":1e400e5})",
                                  R"({"chip":-})", R"({"chip":1e400-1})", R"({"chip":[1e400,]})"}) {
        r = Parse(doc);
        EXPECT_EQ(r.Error, "Parsing failed!") << doc;
    }
    ExpectSame(Info, Marked());
    EXPECT_THROW(Parse("1e400"), ESettingsTypeError);
}

TEST_F(SettingsDocument, ByteFieldsRefuseOtherJsonTypes) {
    const struct {
        const char* value;
        const char* kind;
    } cases[] = {{R"("3")", "a string"},
                 {"true", "a boolean"},
                 {"null", "null"},
                 {R"({"Comm_No":3})", "an object"},
                 {"[3]", "an array"}};
    for (const auto& c : cases) {
        Info.Comm_No = 42;
        Info.product_name.clear();
        const TParseResult r =
            Parse(std::string{R"({"product_name":"M1","Comm_No":)"} + c.value + "}");
        EXPECT_FALSE(r.Success) << c.value;
        EXPECT_EQ(r.Error,
                  std::string{"Get Settings Failed:Comm_No: expected an integer number, got "} +
                      c.kind);
        EXPECT_EQ(Info.Comm_No, 42) << c.value;
        EXPECT_EQ(Info.product_name, "M1") << c.value;
    }
}

TEST_F(SettingsDocument, TextFieldsTakeTheTextFormOfAnyValue) {
    const TParseResult r =
        Parse(R"({"product_name":123,"chip":null,"code":[1,2],"product_class":{"a":1},)"
              R"("fw_compile_time":-1.50E+3,"wel_mess1_hex":true,"wel_mess2_hex":false,)"
              R"("wel_mess1":"\u4e2d\u6587 \"q\" \\","wel_mess2":12.0})");
    ASSERT_TRUE(r.Success) << r.Error;
    EXPECT_EQ(Info.product_name, "123");
    EXPECT_EQ(Info.chip, "null");
    EXPECT_EQ(Info.code, "");
    EXPECT_EQ(Info.product_class, "");
    EXPECT_EQ(Info.fw_compile_time, "-1.50E+3"); // the literal, not a re-rendering
    EXPECT_EQ(Info.wel_mess1_hex, "true");
    EXPECT_EQ(Info.wel_mess2_hex, "false");
    EXPECT_EQ(Info.wel_mess1, u"\u4e2d\u6587 \"q\" \\");
    EXPECT_EQ(Info.wel_mess2, u"12.0");

    // Narrow fields hold UTF-8; the literal of a negative zero keeps its sign.
    ASSERT_TRUE(
        Parse(R"({"product_name":"显示器","chip":-0,"code":18446744073709551616})").Success);
    EXPECT_EQ(Info.product_name, "\xE6\x98\xBE\xE7\xA4\xBA\xE5\x99\xA8");
    EXPECT_EQ(Info.chip, "-0");
    EXPECT_EQ(Info.code, "18446744073709551616");
}

TEST_F(SettingsDocument, MembersApplyInOrderRepeatsIncluded) {
    TParseResult r = Parse(R"({"Comm_No":1,"Comm_No":2})");
    EXPECT_TRUE(r.Success);
    EXPECT_EQ(Info.Comm_No, 2);

    // A repeat is applied, not merely remembered: a later bad value fails after the first.
    r = Parse(R"({"Comm_No":5,"chip":"a","Comm_No":"x","chip":"b"})");
    EXPECT_FALSE(r.Success);
    EXPECT_EQ(Info.Comm_No, 5);
    EXPECT_EQ(Info.chip, "a");
}

TEST_F(SettingsDocument, NamesAreTrimmedAndCaseSensitive) {
    Info.Comm_No = 9;
    EXPECT_TRUE(Parse(R"({"comm_no":1,"COMM_NO":2,"Comm_No_":3,"Comm No":4})").Success);
    EXPECT_EQ(Info.Comm_No, 9);

    EXPECT_TRUE(Parse("{\" Comm_No \":1,\"\\tback_light\\r\\n\":4,\"\\u0000chip\":\"z\"}").Success);
    EXPECT_EQ(Info.Comm_No, 1);
    EXPECT_EQ(Info.back_light, 4);
    EXPECT_EQ(Info.chip, "z");

    // Unknown names are skipped whatever their value holds.
    EXPECT_TRUE(Parse(R"({"jpos":true,"extra":{"Comm_No":"bad"},"other":[1.5]})").Success);
    EXPECT_FALSE(Info.jpos);
    EXPECT_EQ(Info.Comm_No, 1);
}

TEST_F(SettingsDocument, NestedMembersAreNeverApplied) {
    Info = Marked();
    const TParseResult r =
        Parse(R"({"extra":{"Comm_No":3,"chip":"in","deeper":[{"back_light":1}]},)"
              R"("list":[{"temp1":1},"Char_No",2],"temp4":7})");
    EXPECT_TRUE(r.Success) << r.Error;
    TSystemInfo expected = Marked();
    expected.temp4 = 7; // the top-level member after the nested ones still applies
    ExpectSame(Info, expected);
}

TEST_F(SettingsDocument, TopLevelValueOtherThanAnObjectThrows) {
    Info = Marked();
    for (const char* doc : {R"([{"Comm_No":1}])", R"("Comm_No")", "12", "true", "null", "[]"}) {
        EXPECT_THROW(Parse(doc), ESettingsTypeError) << doc;
    }
    ExpectSame(Info, Marked());
}

TEST_F(SettingsDocument, SavedFileOfNineKeysLeavesTheOthersAlone) {
    Info = Marked();
    const TParseResult r = Parse("{\r\n"
                                 "    \"temp1\": 0,\r\n"
                                 "    \"Baud_Rate\": 4,\r\n"
                                 "    \"temp2\": 6,\r\n"
                                 "    \"Char_No\": 8,\r\n"
                                 "    \"Expand_Char_No\": 1,\r\n"
                                 "    \"Comm_No\": 2,\r\n"
                                 "    \"wel_mess1\": \"ab\\tc\",\r\n"
                                 "    \"wel_mess2\": \"中文\",\r\n"
                                 "    \"back_light\": 4\r\n"
                                 "}");
    ASSERT_TRUE(r.Success) << r.Error;
    TSystemInfo expected = Marked();
    expected.temp1 = 0;
    expected.Baud_Rate = 4;
    expected.temp2 = 6;
    expected.Char_No = 8;
    expected.Expand_Char_No = 1;
    expected.Comm_No = 2;
    expected.wel_mess1 = u"ab\tc";
    expected.wel_mess2 = u"中文";
    expected.back_light = 4;
    ExpectSame(Info, expected);
}
