// SPDX-License-Identifier: Apache-2.0
// The settings file on Windows: names in any script through the wide API, a file replaced
// whole or left as it was.
#include "untUtf8File.h"
#include "untWideText.h"

#include <gtest/gtest.h>

#include <string>

#include <windows.h>

namespace {

class Utf8FileWin32 : public testing::Test {
protected:
    void SetUp() override {
        wchar_t base[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, base);
        folder_ =
            std::wstring(base) + L"vyl-\u8BBE\u7F6E-" + std::to_wstring(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
    }
    void TearDown() override {
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW((folder_ + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = folder_ + L"\\" + found.cFileName;
                SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveDirectoryW(name.c_str());
                else
                    DeleteFileW(name.c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder_.c_str());
    }
    std::string Path(const std::wstring& name) const {
        return Utf8FromWide(folder_ + L"\\" + name);
    }
    std::size_t FilesInFolder() const {
        std::size_t count = 0;
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW((folder_ + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return 0;
        do
            count += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
        while (FindNextFileW(search, &found));
        FindClose(search);
        return count;
    }

    std::wstring folder_;
};

} // namespace

TEST_F(Utf8FileWin32, NonAsciiNamesRoundTripAndReplaceWhole) {
    const std::string path = Path(L"\u663E\u793A\u5C4F \u00E9t\u00E9.ini");
    WriteUtf8File(u"{\"a\": \"\u4E2D\u6587\"}", path);
    EXPECT_EQ(ReadUtf8File(path), u"{\"a\": \"\u4E2D\u6587\"}");
    WriteUtf8File(u"short", path);
    EXPECT_EQ(ReadUtf8File(path), u"short");
    // No temporary file stays behind.
    EXPECT_EQ(FilesInFolder(), 1u);
    // The bytes are UTF-8 without a byte-order mark, under the wide name.
    const HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char bytes[16] = {};
    DWORD got = 0;
    ReadFile(file, bytes, sizeof bytes, &got, nullptr);
    CloseHandle(file);
    EXPECT_EQ(std::string(bytes, got), "short");
}

TEST_F(Utf8FileWin32, RefusalsLeaveWhatWasThere) {
    const std::string readOnly = Path(L"locked.ini");
    WriteUtf8File(u"old", readOnly);
    SetFileAttributesW(WideFromUtf8(readOnly).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_THROW(WriteUtf8File(u"new", readOnly), EFileError);
    EXPECT_EQ(ReadUtf8File(readOnly), u"old");

    const std::string folder = Path(L"sub");
    CreateDirectoryW(WideFromUtf8(folder).c_str(), nullptr);
    try {
        WriteUtf8File(u"x", folder);
        FAIL() << "a folder was written";
    } catch (const EFileError& e) {
        EXPECT_EQ(e.OsError, ERROR_DIRECTORY);
        EXPECT_NE(std::string(e.what()).find(folder), std::string::npos) << e.what();
    }

    try {
        ReadUtf8File(Path(L"missing.ini"));
        FAIL() << "a missing file was read";
    } catch (const EFileError& e) {
        EXPECT_EQ(e.OsError, ERROR_FILE_NOT_FOUND);
    }
    EXPECT_THROW(WriteUtf8File(u"x", Path(L"no-such-folder\\a.ini")), EFileError);
    EXPECT_EQ(FilesInFolder(), 1u);
}
