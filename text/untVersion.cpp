// SPDX-License-Identifier: Apache-2.0
#include "untVersion.h"

#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/mman.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

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

// True when `st` is the running program's own file (not one that has replaced it since).
bool IsRunningProgram(const struct stat& st) {
    struct stat self {};
    return stat("/proc/self/exe", &self) == 0 && self.st_dev == st.st_dev &&
           self.st_ino == st.st_ino;
}

} // namespace

std::string GetFileVersionText(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    struct stat st {};
    if (fstat(fd, &st) == 0 && IsRunningProgram(st)) {
        // The window asks for its own program's version at start: the stamp the file holds is
        // the one in memory, and finding it in the file touched every page before it.
        close(fd);
        return ParseStampBody(std::string_view(VersionStamp).substr(Marker.size()));
    }
    // Mapped rather than read: the stamp lies a few hundred kB into a file of megabytes.
    void* mapped = MAP_FAILED;
    if (S_ISREG(st.st_mode) && st.st_size > 0)
        mapped = mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (mapped == MAP_FAILED)
        return {};
    const std::string_view file(static_cast<const char*>(mapped),
                                static_cast<std::size_t>(st.st_size));
    std::string version;
    for (std::size_t at = file.find(Marker); at != std::string_view::npos;
         at = file.find(Marker, at + 1)) {
        version = ParseStampBody(file.substr(at + Marker.size(), MaxStampLength));
        if (!version.empty())
            break;
    }
    munmap(mapped, static_cast<std::size_t>(st.st_size));
    return version;
}

std::string ProgramFilePath() {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    // Touching the stamp here keeps it in every program that asks for its own path.
    static_cast<void>(*static_cast<const volatile char*>(VersionStamp));
    return error ? std::string() : path.string();
}
