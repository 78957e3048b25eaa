// SPDX-License-Identifier: Apache-2.0
#include "untVersion.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>
#include <vector>

#define VYL_STRINGIFY2(x) #x
#define VYL_STRINGIFY(x) VYL_STRINGIFY2(x)

namespace {

// Linux executables have no version resource: the build stamps its version into the program
// as this marked text, which GetFileVersionText finds in the file.
[[gnu::used]] constexpr char VersionStamp[] =
    "\x01VYL-FILEVERSION:" VYL_STRINGIFY(VYL_VERSION_MAJOR) "." VYL_STRINGIFY(
        VYL_VERSION_MINOR) "." VYL_STRINGIFY(VYL_VERSION_PATCH) "." VYL_STRINGIFY(VYL_VERSION_TWEAK) "\x01";

// The marker is the stamp up to its colon; no second literal holds it.
constexpr std::string_view Marker(VersionStamp, std::string_view(VersionStamp).find(':') + 1);
constexpr std::size_t MaxStampLength = 64;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// "1.2.3.4\x01" (the fourth part may be missing or empty) after a marker; "" when malformed.
std::string ParseStampBody(std::string_view body) {
    std::string numbers[4];
    std::size_t part = 0;
    for (const char c : body) {
        if (c == '\x01')
            break;
        if (c == '.') {
            if (++part == 4)
                return {};
            continue;
        }
        if (!IsDigit(c) || numbers[part].size() >= 5)
            return {};
        numbers[part] += c;
    }
    if (body.find('\x01') == std::string_view::npos || part < 2)
        return {};
    for (std::size_t i = 0; i < 3; ++i)
        if (numbers[i].empty())
            return {};
    return numbers[0] + "." + numbers[1] + "." + numbers[2];
}

} // namespace

std::string GetFileVersionText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return {};
    // Scan in chunks, keeping a tail long enough to hold a stamp cut by a chunk boundary.
    constexpr std::size_t ChunkSize = 1 << 20;
    std::vector<char> chunk(ChunkSize);
    std::string window;
    while (file) {
        file.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const auto got = static_cast<std::size_t>(file.gcount());
        if (got == 0)
            break;
        window.append(chunk.data(), got);
        const bool last = !file;
        std::size_t from = 0;
        std::size_t cut = std::string::npos;
        for (;;) {
            const std::size_t at = window.find(Marker, from);
            if (at == std::string::npos)
                break;
            const std::string_view rest = std::string_view(window).substr(at + Marker.size());
            if (std::string version = ParseStampBody(rest.substr(0, MaxStampLength));
                !version.empty())
                return version;
            if (rest.size() < MaxStampLength && !last) {
                cut = at; // may be cut by the chunk boundary: look again with more data
                break;
            }
            from = at + 1;
        }
        if (cut != std::string::npos)
            window.erase(0, cut);
        else if (window.size() >= Marker.size())
            window.erase(0, window.size() - (Marker.size() - 1)); // a marker cut in two
    }
    return {};
}

std::string ProgramFilePath() {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    // Touching the stamp here keeps it in every program that asks for its own path.
    static_cast<void>(*static_cast<const volatile char*>(VersionStamp));
    return error ? std::string() : path.string();
}
