// SPDX-License-Identifier: Apache-2.0
#include "untPublishedPorts.h"
#include "untPublishedPortsIn.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const char* const LockSuffix = ".lock";

std::string JoinPath(const std::string& folder, const std::string& name) {
    return folder + "/" + name;
}

// True while some program holds the lock file's exclusive lock. A shared probe lock is
// taken and dropped at once; it never blocks.
bool LockIsHeld(const std::string& lockPath) {
    const int fd = open(lockPath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    bool held = false;
    if (flock(fd, LOCK_SH | LOCK_NB) != 0)
        held = errno == EWOULDBLOCK;
    else
        flock(fd, LOCK_UN);
    close(fd);
    return held;
}

// The link's target when `linkPath` is a symlink leading to a character device.
std::optional<std::string> CharDeviceBehind(const std::string& linkPath) {
    struct stat ls {};
    struct stat ts {};
    if (lstat(linkPath.c_str(), &ls) != 0 || !S_ISLNK(ls.st_mode))
        return std::nullopt;
    if (stat(linkPath.c_str(), &ts) != 0 || !S_ISCHR(ts.st_mode))
        return std::nullopt;
    std::string target(static_cast<std::size_t>(ls.st_size > 0 ? ls.st_size : 256) + 1, '\0');
    const ssize_t n = readlink(linkPath.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= target.size())
        return std::nullopt;
    target.resize(static_cast<std::size_t>(n));
    return target;
}

std::string ErrnoText(const std::string& what, int err) {
    return what + ": " + std::strerror(err);
}

} // namespace

bool IsValidPublishedPortName(const std::string& name) {
    if (name.empty())
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '_';
    });
}

std::optional<std::string> CheckPublishedPortsDir(const std::string& folder, bool create) {
    if (folder.empty())
        return std::nullopt;
    if (create && mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return std::nullopt;
    struct stat st {};
    if (lstat(folder.c_str(), &st) != 0)
        return std::nullopt;
    // A symlink or someone else's folder could point our links at their devices, and a
    // folder open to others lets them plant names or delete ours.
    if (!S_ISDIR(st.st_mode) || st.st_uid != geteuid() || (st.st_mode & 077) != 0)
        return std::nullopt;
    return folder;
}

std::optional<std::string> PublishedPortsDir(bool create) {
    const uid_t uid = geteuid();
    const std::string runtime = "/run/user/" + std::to_string(uid);
    struct stat st {};
    std::string folder;
    if (lstat(runtime.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid)
        folder = runtime + "/vyl-ports";
    else
        folder = "/tmp/vyl-ports-" + std::to_string(uid);
    return CheckPublishedPortsDir(folder, create);
}

std::vector<std::string> ListPublishedPortsIn(const std::string& folder) {
    std::vector<std::string> names;
    if (!CheckPublishedPortsDir(folder, false))
        return names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return names;
    const std::size_t suffixLength = std::strlen(LockSuffix);
    while (const dirent* entry = readdir(dir)) {
        const std::string file = entry->d_name;
        if (file.size() <= suffixLength ||
            file.compare(file.size() - suffixLength, suffixLength, LockSuffix) != 0)
            continue;
        const std::string name = file.substr(0, file.size() - suffixLength);
        if (!IsValidPublishedPortName(name))
            continue;
        // A crashed publisher leaves its link behind, and its pty number may since belong
        // to someone's terminal: only a held lock vouches for the link.
        if (LockIsHeld(JoinPath(folder, file)) && CharDeviceBehind(JoinPath(folder, name)))
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> ResolvePublishedPortIn(const std::string& folder,
                                                  const std::string& name) {
    if (!IsValidPublishedPortName(name) || !CheckPublishedPortsDir(folder, false))
        return std::nullopt;
    if (!LockIsHeld(JoinPath(folder, name + LockSuffix)))
        return std::nullopt;
    return CharDeviceBehind(JoinPath(folder, name));
}

std::optional<std::string> ResolvePublishedPort(const std::string& name) {
    const auto folder = PublishedPortsDir(false);
    return folder ? ResolvePublishedPortIn(*folder, name) : std::nullopt;
}

namespace {
std::string UserPortsDirOrThrow() {
    const auto folder = PublishedPortsDir(true);
    if (!folder)
        throw std::runtime_error("No safe folder for published ports");
    return *folder;
}
} // namespace

TPortPublication::TPortPublication(const std::string& name, const std::string& devicePath)
    : TPortPublication(name, devicePath, UserPortsDirOrThrow()) {}

TPortPublication::TPortPublication(const std::string& name, const std::string& devicePath,
                                   const std::string& folder) {
    if (!IsValidPublishedPortName(name))
        throw std::runtime_error("Invalid port name \"" + name +
                                 "\": letters, digits, '-' and '_' only");
    if (!CheckPublishedPortsDir(folder, true))
        throw std::runtime_error("Unsafe folder for published ports: " + folder);
    const std::string lockPath = JoinPath(folder, name + LockSuffix);
    const int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        throw std::runtime_error(ErrnoText(lockPath, errno));
    // A lister probes the lock with a short shared lock: retry briefly before concluding
    // that a live publisher holds the name.
    bool locked = false;
    for (int attempt = 0; attempt < 50 && !locked; ++attempt) {
        locked = flock(fd, LOCK_EX | LOCK_NB) == 0;
        if (!locked && errno != EWOULDBLOCK && errno != EINTR)
            break;
        if (!locked)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (!locked) {
        close(fd);
        throw std::runtime_error("Port \"" + name + "\" is already published by another program");
    }
    lockFd_ = fd;
    lockPath_ = lockPath;
    const std::string linkPath = JoinPath(folder, name);
    // We hold the lock, so a link of this name is a dead publisher's leftover.
    unlink(linkPath.c_str());
    if (symlink(devicePath.c_str(), linkPath.c_str()) != 0) {
        const int err = errno;
        Withdraw();
        throw std::runtime_error(ErrnoText(linkPath, err));
    }
    linkPath_ = linkPath;
}

TPortPublication::~TPortPublication() {
    Withdraw();
}

void TPortPublication::Withdraw() {
    if (!linkPath_.empty())
        unlink(linkPath_.c_str());
    if (!lockPath_.empty())
        unlink(lockPath_.c_str());
    if (lockFd_ >= 0)
        close(lockFd_);
    linkPath_.clear();
    lockPath_.clear();
    lockFd_ = -1;
}
