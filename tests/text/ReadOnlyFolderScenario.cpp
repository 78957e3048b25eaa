// SPDX-License-Identifier: Apache-2.0
#include "ReadOnlyFolderScenario.h"

#include "untUtf8File.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

int failures = 0;

void Check(bool ok, const std::string& what) {
    if (!ok) {
        ++failures;
        std::cerr << "read-only folder scenario: " << what << '\n';
    }
}

std::string Content(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put(const fs::path& path, const std::string& content, fs::perms mode, int uid) {
    std::ofstream(path, std::ios::binary) << content;
    fs::permissions(path, mode);
    if (uid >= 0 && ::chown(path.c_str(), static_cast<uid_t>(uid), static_cast<gid_t>(uid)) != 0)
        throw std::runtime_error("chown failed: " + path.string());
}

std::size_t EntryCount(const fs::path& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// Expects an EFileError carrying `error`, the path and the OS text.
template <typename Action>
void ExpectFileError(Action action, const fs::path& path, int error, const std::string& what) {
    try {
        action();
        Check(false, what + ": no error");
    } catch (const EFileError& e) {
        Check(e.OsError == error, what + ": error " + std::to_string(e.OsError));
        const std::string message = e.what();
        Check(message.find(path.string()) != std::string::npos, what + ": path missing");
        Check(message.find(std::strerror(error)) != std::string::npos, what + ": OS text missing");
    }
}

} // namespace

void PrepareReadOnlyFolder(const std::string& base, int uid) {
    const fs::path ro = fs::path(base) / "ro";
    const fs::path rw = fs::path(base) / "rw";
    fs::create_directory(ro);
    fs::create_directory(rw);
    Put(ro / "writable.ini", "old content, longer than the new one", fs::perms(0644), uid);
    Put(ro / "readonly.ini", "keep", fs::perms(0444), uid);
    Put(ro / "secret.ini", "hidden", fs::perms(0), uid);
    Put(rw / "locked.ini", "keep", fs::perms(0444), uid);
    for (const fs::path& folder : {ro, rw})
        if (uid >= 0 &&
            ::chown(folder.c_str(), static_cast<uid_t>(uid), static_cast<gid_t>(uid)) != 0)
            throw std::runtime_error("chown failed: " + folder.string());
    fs::permissions(ro, fs::perms(0555));
    fs::permissions(rw, fs::perms(0755));
}

int RunReadOnlyFolderScenario(const std::string& base) {
    Check(::geteuid() != 0, "runs as the superuser, whom permissions do not stop");
    const fs::path ro = fs::path(base) / "ro";
    const fs::path rw = fs::path(base) / "rw";
    try {
        // The folder takes no temporary file, the file itself is writable: written in place.
        const fs::path writable = ro / "writable.ini";
        WriteUtf8File(u"new \u4E2D\u6587", writable.string());
        Check(Content(writable) == "new \xE4\xB8\xAD\xE6\x96\x87", "in-place content");
        Check(ReadUtf8File(writable.string()) == u"new \u4E2D\u6587", "in-place read back");
        Check((fs::status(writable).permissions() & fs::perms::mask) == fs::perms(0644),
              "in-place mode");
        Check(EntryCount(ro) == 3, "read-only folder gained or lost an entry");

        const fs::path readonly = ro / "readonly.ini";
        ExpectFileError([&] { WriteUtf8File(u"x", readonly.string()); }, readonly, EACCES,
                        "read-only file in read-only folder");
        Check(Content(readonly) == "keep", "read-only file changed");

        const fs::path fresh = ro / "new.ini";
        ExpectFileError([&] { WriteUtf8File(u"x", fresh.string()); }, fresh, EACCES,
                        "new file in read-only folder");
        Check(!fs::exists(fresh), "new file appeared");

        const fs::path secret = ro / "secret.ini";
        ExpectFileError([&] { ReadUtf8File(secret.string()); }, secret, EACCES, "unreadable file");

        // A writable folder would let a rename replace the file: its read-only mode still holds.
        const fs::path locked = rw / "locked.ini";
        ExpectFileError([&] { WriteUtf8File(u"x", locked.string()); }, locked, EACCES,
                        "read-only file in writable folder");
        Check(Content(locked) == "keep", "read-only file in writable folder changed");
        Check(EntryCount(rw) == 1, "temporary file left behind");
    } catch (const std::exception& e) {
        Check(false, std::string("unexpected exception: ") + e.what());
    }
    return failures == 0 ? 0 : 1;
}
