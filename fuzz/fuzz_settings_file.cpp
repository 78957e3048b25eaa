// SPDX-License-Identifier: Apache-2.0
// The settings file: whatever a loaded file did to the record, saving it and loading the saved
// file into another record gives the same nine members. The saved text is the fixed format
// (an object of exactly the nine keys in their order, CR LF, four-blank indent) and reads as
// well-formed JSON by the reference reader.

#include "FuzzCheck.h"
#include "ReferenceJson.h"

#include "untSettingsFile.h"
#include "untSystemInfo.h"
#include "untUtf16.h"
#include "untUtf8File.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr const char* NineKeys[] = {"temp1",     "Baud_Rate",      "temp2",
                                    "Char_No",   "Expand_Char_No", "Comm_No",
                                    "wel_mess1", "wel_mess2",      "back_light"};

struct Files {
    int MemoryFd = -1;
    std::string Loaded; // the fuzz input as a file
    std::string Saved;  // where "Save Setting" writes
    std::string Folder;
};

const Files& TheFiles() {
    static const Files files = [] {
        Files f;
        f.MemoryFd = ::memfd_create("settings-file", 0);
        FUZZ_REQUIRE(f.MemoryFd >= 0, "memfd_create failed");
        f.Loaded = "/proc/self/fd/" + std::to_string(f.MemoryFd);
        // Saving syncs the file: in memory that costs nothing.
        std::string folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        folder += "/vyl-fuzz-settings-XXXXXX";
        FUZZ_REQUIRE(::mkdtemp(folder.data()) != nullptr, "mkdtemp failed");
        f.Folder = folder;
        f.Saved = folder + "/saved.ini";
        return f;
    }();
    return files;
}

void RemoveFiles() {
    const Files& f = TheFiles();
    ::unlink(f.Saved.c_str());
    ::rmdir(f.Folder.c_str());
}

// The window's values before a load: defaults, with unsaved members that must survive.
TSystemInfo CapturedRecord() {
    SystemInfo = TSystemInfo{};
    ParseSettingsJson(Utf8ToUtf16(GetDefaultSettingsJson()));
    TSystemInfo r = SystemInfo;
    r.temp2 = 0x04;
    r.product_name = "captured";
    r.firmware_version = 7;
    return r;
}

// Where the saved file is loaded: unlike the first record, so that a member the file missed
// would show.
TSystemInfo OtherRecord() {
    TSystemInfo r;
    r.temp1 = r.Baud_Rate = r.temp2 = r.Char_No = r.Expand_Char_No = r.Comm_No = 0x5A;
    r.back_light = 0x5A;
    r.wel_mess1 = u"\uFFFF other";
    r.wel_mess2 = u"\uFFFF other";
    return r;
}

void Load(const std::string& path) {
    const std::u16string text = ReadUtf8File(path);
    if (text.empty())
        return; // "Load Settings Error!" before any parsing
    SystemInfo.wel_mess1_hex.clear();
    SystemInfo.wel_mess2_hex.clear();
    try {
        ParseSettingsJson(text);
    } catch (const ESettingsTypeError&) {
        // reported by the general error handler; the record stays as the parser left it
    }
}

std::string NineMembersDiffer(const TSystemInfo& a, const TSystemInfo& b) {
    std::string out;
    if (a.temp1 != b.temp1)
        out += " temp1";
    if (a.Baud_Rate != b.Baud_Rate)
        out += " Baud_Rate";
    if (a.temp2 != b.temp2)
        out += " temp2";
    if (a.Char_No != b.Char_No)
        out += " Char_No";
    if (a.Expand_Char_No != b.Expand_Char_No)
        out += " Expand_Char_No";
    if (a.Comm_No != b.Comm_No)
        out += " Comm_No";
    if (a.wel_mess1 != b.wel_mess1)
        out += " wel_mess1 (" + FuzzShow(Utf16ToUtf8(a.wel_mess1)) + " / " +
               FuzzShow(Utf16ToUtf8(b.wel_mess1)) + ")";
    if (a.wel_mess2 != b.wel_mess2)
        out += " wel_mess2 (" + FuzzShow(Utf16ToUtf8(a.wel_mess2)) + " / " +
               FuzzShow(Utf16ToUtf8(b.wel_mess2)) + ")";
    if (a.back_light != b.back_light)
        out += " back_light";
    return out;
}

void CheckSavedText(const std::u16string& saved) {
    const std::string utf8 = Utf16ToUtf8(saved);
    FUZZ_REQUIRE(utf8.starts_with("{\r\n    \"temp1\": ") && utf8.ends_with("\r\n}"),
                 "saved text framing: " + FuzzShow(utf8));
    const JsonReading reading = ReadJson(utf8);
    FUZZ_REQUIRE(reading.WellFormed && reading.TopKind == JsonKind::Object,
                 "the saved text is not a JSON object: " + FuzzShow(utf8));
    FUZZ_REQUIRE(reading.Members.size() == std::size(NineKeys), "not nine members");
    for (std::size_t i = 0; i < std::size(NineKeys); ++i)
        FUZZ_REQUIRE(reading.Members[i].Name == NineKeys[i], "member " + std::to_string(i));
    // One member a line: a line break inside a saved text would be a raw control character.
    std::size_t lines = 1;
    for (std::size_t at = 0; (at = utf8.find("\r\n", at)) != std::string::npos; at += 2)
        ++lines;
    FUZZ_REQUIRE(lines == 11, "saved text has " + std::to_string(lines) + " lines");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool cleanup = [] {
        TheFiles();
        return std::atexit(RemoveFiles) == 0;
    }();
    (void)cleanup;
    const Files& files = TheFiles();
    FUZZ_REQUIRE(::ftruncate(files.MemoryFd, 0) == 0, "ftruncate failed");
    FUZZ_REQUIRE(::pwrite(files.MemoryFd, data, size, 0) == static_cast<ssize_t>(size),
                 "pwrite failed");

    SystemInfo = CapturedRecord();
    Load(files.Loaded);
    const TSystemInfo first = SystemInfo;

    const std::u16string saved = SettingsFileText(first);
    CheckSavedText(saved);
    WriteUtf8File(saved, files.Saved);

    SystemInfo = OtherRecord();
    const std::u16string again = ReadUtf8File(files.Saved);
    SystemInfo.wel_mess1_hex.clear();
    SystemInfo.wel_mess2_hex.clear();
    const TParseResult result = ParseSettingsJson(again);
    FUZZ_REQUIRE(result.Success, "the saved file does not load: " + result.Error);
    const std::string differ = NineMembersDiffer(first, SystemInfo);
    FUZZ_REQUIRE(differ.empty(), "after save and load, these differ:" + differ);
    FUZZ_REQUIRE(SettingsFileText(SystemInfo) == saved, "saving again gives another text");
    return 0;
}
