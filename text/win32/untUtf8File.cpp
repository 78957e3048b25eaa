// SPDX-License-Identifier: Apache-2.0
// UTF-8 files through the wide API (names in any script), replaced whole in one step.
#include "untUtf8File.h"

#include "untUtf16.h"
#include "untWideText.h"

#include <algorithm>

#include <windows.h>

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

[[noreturn]] void Fail(const std::string& what, const std::string& path, DWORD error) {
    throw EFileError(what + " \"" + path + "\": " + SystemErrorText(error),
                     static_cast<int>(error));
}

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (Valid())
            CloseHandle(handle_);
    }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    // Closes now and reports the result: a failed close can mean lost data.
    bool Close() {
        const bool closed = CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

// 0 when everything is written, else the error.
DWORD WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr))
            return GetLastError();
        bytes.remove_prefix(written);
    }
    return 0;
}

// The fallback where the folder takes no new file: overwrite the existing file itself.
void WriteInPlace(const std::wstring& target, const std::string& path, std::string_view bytes) {
    FileHandle file(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        Fail("Cannot write", path, GetLastError());
    // Cutting off after the write keeps the old text whole until the new one is in.
    if (const DWORD error = WriteAll(file.Get(), bytes))
        Fail("Cannot write", path, error);
    if (!SetEndOfFile(file.Get()) || !FlushFileBuffers(file.Get()) || !file.Close())
        Fail("Cannot write", path, GetLastError());
}

} // namespace

EFileError::EFileError(const std::string& message, int osError)
    : std::runtime_error(message), OsError(osError) {}

std::u16string ReadUtf8File(const std::string& path) {
    FileHandle file(CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        Fail("Cannot open", path, GetLastError());
    std::string bytes;
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr))
            Fail("Cannot read", path, GetLastError());
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    // Common editors put a byte-order mark in front of UTF-8.
    std::string_view content(bytes);
    if (content.starts_with(Utf8Bom))
        content.remove_prefix(Utf8Bom.size());
    return Utf8ToUtf16(content);
}

void WriteUtf8File(std::u16string_view text, const std::string& path) {
    const std::string bytes = Utf16ToUtf8(text);
    const std::wstring target = WideFromUtf8(path);

    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        Fail("Cannot write", path, ERROR_DIRECTORY);
    // A read-only file stays protected, even where the folder would let a replace through.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY))
        Fail("Cannot write", path, ERROR_ACCESS_DENIED);

    // A new file in the same folder, put in the old one's place only when it is complete: a
    // failure at any step leaves the old file as it was.
    const std::size_t slash = target.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"." : target.substr(0, slash);
    wchar_t temporary[MAX_PATH + 1] = {};
    // GetTempFileNameW creates the file (empty) under a name of its own in `folder`.
    if (GetTempFileNameW(folder.c_str(), L"vyl", 0, temporary) == 0) {
        const DWORD error = GetLastError();
        // Only a folder that refuses new files falls back; a full disk must not get to
        // overwrite the only copy.
        if (exists && error == ERROR_ACCESS_DENIED)
            return WriteInPlace(target, path, bytes);
        Fail("Cannot create", path, error);
    }
    auto abandon = [&](DWORD error) {
        DeleteFileW(temporary);
        Fail("Cannot write", path, error);
    };
    {
        FileHandle file(CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid())
            abandon(GetLastError());
        if (const DWORD error = WriteAll(file.Get(), bytes))
            abandon(error);
        if (!FlushFileBuffers(file.Get()) || !file.Close())
            abandon(GetLastError());
    }
    // Replacing keeps the old file's attributes and security; a new name is a move.
    const BOOL placed = exists ? ReplaceFileW(target.c_str(), temporary, nullptr,
                                              REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                               : MoveFileExW(temporary, target.c_str(), MOVEFILE_WRITE_THROUGH);
    if (!placed)
        abandon(GetLastError());
}
