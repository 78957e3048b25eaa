// SPDX-License-Identifier: Apache-2.0
#include "untUtf8File.h"

#include <unicode/ustring.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

[[noreturn]] void Fail(const std::string& what, const std::string& path, int error) {
    throw EFileError(what + " \"" + path + "\": " + std::strerror(error), error);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int Get() const { return fd_; }
    void Reset(int fd) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }
    // Closes now and reports the result: a failed close can mean lost data.
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

std::u16string DecodeUtf8(std::string_view bytes) {
    if (bytes.empty())
        return {};
    // Malformed sequences become U+FFFD; the result is never longer than the input.
    std::u16string text(bytes.size(), u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(reinterpret_cast<UChar*>(text.data()), static_cast<int32_t>(text.size()),
                         &length, bytes.data(), static_cast<int32_t>(bytes.size()), 0xFFFD, nullptr,
                         &status);
    if (U_FAILURE(status))
        return {};
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::string EncodeUtf8(std::u16string_view text) {
    if (text.empty())
        return {};
    // A lone surrogate becomes U+FFFD (three bytes); nothing needs more than three per unit.
    std::string bytes(text.size() * 3, '\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(bytes.data(), static_cast<int32_t>(bytes.size()), &length,
                       reinterpret_cast<const UChar*>(text.data()),
                       static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status))
        return {};
    bytes.resize(static_cast<std::size_t>(length));
    return bytes;
}

// Writes everything or returns the error number.
int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a chain of symbolic links ends at, so that saving replaces the file and keeps the link.
std::string FollowLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path; // not there (yet) or not a link: creation reports what is wrong
        std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1,
                           '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0)
            Fail("Cannot follow the link", path, errno);
        target.resize(static_cast<std::size_t>(length));
        path = target.front() == '/' ? target : DirectoryOf(path) + "/" + target;
    }
    Fail("Cannot follow the link", path, ELOOP);
}

std::string TemporaryName(const std::string& target) {
    static std::mt19937_64 random{std::random_device{}()};
    const std::size_t slash = target.rfind('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    return DirectoryOf(target) + "/." + base + ".tmp-" + std::to_string(::getpid()) + "-" +
           std::to_string(random() % 1000000000);
}

// The fallback where the folder takes no new file: overwrite the existing file itself.
void WriteInPlace(const std::string& target, std::string_view bytes) {
    FileDescriptor fd(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
    if (fd.Get() < 0)
        Fail("Cannot write", target, errno);
    // Truncating after the write keeps the old text whole until the new one is in.
    if (const int error = WriteAll(fd.Get(), bytes))
        Fail("Cannot write", target, error);
    if (::ftruncate(fd.Get(), static_cast<off_t>(bytes.size())) != 0 || ::fsync(fd.Get()) != 0 ||
        fd.Close() != 0)
        Fail("Cannot write", target, errno);
}

} // namespace

EFileError::EFileError(const std::string& message, int osError)
    : std::runtime_error(message), OsError(osError) {}

std::u16string ReadUtf8File(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0)
        Fail("Cannot open", path, errno);
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            Fail("Cannot read", path, errno);
        }
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    // Common editors put a byte-order mark in front of UTF-8.
    std::string_view content(bytes);
    if (content.starts_with(Utf8Bom))
        content.remove_prefix(Utf8Bom.size());
    return DecodeUtf8(content);
}

void WriteUtf8File(std::u16string_view text, const std::string& path) {
    const std::string bytes = EncodeUtf8(text);
    const std::string target = FollowLinks(path);

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        Fail("Cannot write", path, EISDIR);
    // A file the user may not write stays protected, even where the folder would let a
    // rename replace it.
    if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        Fail("Cannot write", path, errno);
    // A device or a pipe cannot be replaced by renaming: it is written as it stands.
    if (exists && !S_ISREG(existing.st_mode))
        return WriteInPlace(target, bytes);

    // A new file in the same folder, renamed over the old one only when it is complete:
    // a failure at any step leaves the old file as it was.
    std::string temporary;
    FileDescriptor fd;
    for (int attempt = 0; attempt < 16 && fd.Get() < 0; ++attempt) {
        temporary = TemporaryName(target);
        fd.Reset(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd.Get() < 0 && errno != EEXIST) {
            const int error = errno;
            // Only a folder that refuses new files falls back; a full disk must not get to
            // overwrite the only copy.
            if (exists && (error == EACCES || error == EPERM || error == EROFS))
                return WriteInPlace(target, bytes);
            Fail("Cannot create", path, error);
        }
    }
    if (fd.Get() < 0)
        Fail("Cannot create", path, EEXIST);

    auto abandon = [&](int error) {
        ::unlink(temporary.c_str());
        Fail("Cannot write", path, error);
    };
    if (const int error = WriteAll(fd.Get(), bytes))
        abandon(error);
    if (exists) {
        // Keep what the user had: permission bits and, where allowed, the owner.
        // The owner first: changing it clears set-id bits that the mode then restores.
        if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())
            if (::fchown(fd.Get(), existing.st_uid, existing.st_gid) != 0) {
                // Only the superuser may give a file away: otherwise it becomes the writer's.
            }
        if (::fchmod(fd.Get(), existing.st_mode & 07777) != 0)
            abandon(errno);
    }
    if (::fsync(fd.Get()) != 0)
        abandon(errno);
    if (fd.Close() != 0)
        abandon(errno);
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        abandon(errno);
    // Make the rename itself durable; a folder that refuses is no reason to report failure.
    FileDescriptor folder(::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0)
        ::fsync(folder.Get());
}
