#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// Runs the Qt event loop until `done` holds or `limit` has passed; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

// Runs `argv` as the unprivileged user nobody (uid/gid 65534, no groups); its exit status,
// or -1 when it could not be run. Root passes permission bits and TIOCEXCL, nobody does not.
// Run by an ordinary user, `argv` runs as that user.
int RunAsNobody(const std::vector<std::string>& argv);

// Exit status of opening `path` read-write as nobody: 0 when the open succeeded.
int OpenAsNobody(const std::string& path);

// A fresh private folder under /tmp, removed with its contents on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};
