// SPDX-License-Identifier: Apache-2.0
// The settings document as "Get Setting" reads a reply (the bytes before the first 00 decoded
// as UTF-8: what follows the terminator is whatever arrived in the same read) and as "Load
// Setting" reads a file (all its bytes), judged against the reference reading of the same text: the
// same outcome, and the record exactly as the rules leave it (nothing changed by a document that is
// not well-formed, members applied in document order up to a member a byte field refuses).

#include "FuzzCheck.h"
#include "ReferenceJson.h"
#include "ReferenceSettings.h"

#include "untSystemInfo.h"
#include "untUtf16.h"
#include "untUtf8File.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// Values no document of the corpus uses, so that a member applied by mistake shows.
TSystemInfo StartRecord() {
    TSystemInfo r;
    r.code = "start-code";
    r.temp1 = 0xA1;
    r.Baud_Rate = 0xA2;
    r.temp2 = 0xA3;
    r.Char_No = 0xA4;
    r.Expand_Char_No = 0xA5;
    r.Comm_No = 0xA6;
    r.product_class = "start-class";
    r.product_name = "start-name";
    r.wel_mess1 = u"start line 1 \u00e9";
    r.wel_mess2 = u"start line 2 \u4e2d";
    r.wel_mess1_hex = "AA BB";
    r.wel_mess2_hex = "CC DD";
    r.chip = "start-chip";
    r.fw_compile_time = "start-time";
    r.command_version = 0xA7;
    r.back_light = 0xA8;
    r.firmware_version = 0xA9;
    r.temp3 = 0xAA;
    r.temp4 = 0xAB;
    r.jpos = true;
    return r;
}

const char* OutcomeName(SettingsOutcome outcome) {
    switch (outcome) {
    case SettingsOutcome::Empty:
        return "empty";
    case SettingsOutcome::Malformed:
        return "not well-formed";
    case SettingsOutcome::NotObject:
        return "not an object";
    case SettingsOutcome::MemberFailed:
        return "member failed";
    case SettingsOutcome::Applied:
        return "applied";
    }
    return "?";
}

void CheckParse(std::u16string_view text, const char* how) {
    static const TSystemInfo start = StartRecord();
    const SettingsExpectation want = ExpectedSettingsParse(text, start);

    SystemInfo = start;
    SettingsOutcome got = SettingsOutcome::Applied;
    std::string error;
    try {
        const TParseResult result = ParseSettingsJson(text);
        error = result.Error;
        if (result.Success) {
            FUZZ_REQUIRE(error.empty(), std::string(how) + ": success with a message: " + error);
            got = SettingsOutcome::Applied;
        } else if (error == "Settings JsonStr is Emputy!") {
            got = SettingsOutcome::Empty;
        } else if (error == "Parsing failed!") {
            got = SettingsOutcome::Malformed;
        } else if (error.starts_with("Get Settings Failed:")) {
            got = SettingsOutcome::MemberFailed;
        } else {
            FUZZ_REQUIRE(false, std::string(how) + ": unknown message: " + FuzzShow(error));
        }
    } catch (const ESettingsTypeError&) {
        got = SettingsOutcome::NotObject;
    }

    const std::string document = FuzzShow(ReferenceUtf8(text));
    FUZZ_REQUIRE(got == want.Outcome, std::string(how) + ": outcome " + OutcomeName(got) +
                                          ", want " + OutcomeName(want.Outcome) + " (message \"" +
                                          FuzzShow(error) + "\") for " + document);
    if (got == SettingsOutcome::MemberFailed)
        FUZZ_REQUIRE(error.find(want.FailedKey) != std::string::npos,
                     std::string(how) + ": \"" + error + "\" does not name " + want.FailedKey);
    const std::string difference = RecordDifference(want.Record, SystemInfo);
    FUZZ_REQUIRE(difference.empty(), std::string(how) + ": " + difference + " for " + document);
}

// A file that lives in memory: "Load Setting" reads the same bytes through the file layer.
const std::string& MemoryFile() {
    static const std::string path = [] {
        const int fd = ::memfd_create("settings-file", 0);
        FUZZ_REQUIRE(fd >= 0, "memfd_create failed");
        return "/proc/self/fd/" + std::to_string(fd);
    }();
    return path;
}

void WriteMemoryFile(const std::uint8_t* data, std::size_t size) {
    const int fd = std::stoi(MemoryFile().substr(sizeof "/proc/self/fd/" - 1));
    FUZZ_REQUIRE(::ftruncate(fd, 0) == 0, "ftruncate failed");
    FUZZ_REQUIRE(::pwrite(fd, data, size, 0) == static_cast<ssize_t>(size), "pwrite failed");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    WriteMemoryFile(data, size);
    const std::u16string file = ReadUtf8File(MemoryFile());
    const std::string_view withoutMark =
        bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes;
    FUZZ_REQUIRE(file == Utf8ToUtf16(withoutMark), "the file reads other than its bytes decode");
    if (IsWellFormedUtf8(withoutMark))
        FUZZ_REQUIRE(file == ReferenceUtf16(withoutMark),
                     "UTF-8 decoded wrongly: " + FuzzShow(std::string(withoutMark)));
    CheckParse(file, "file");

    const std::u16string reply = Utf8ToUtf16(bytes.substr(0, bytes.find('\0')));
    if (reply != file)
        CheckParse(reply, "reply");
    return 0;
}
