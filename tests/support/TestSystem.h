// SPDX-License-Identifier: Apache-2.0
#pragma once

// What several suites need of the system: a private temporary folder, a run as an unprivileged
// user, and byte strings written as hex in the test.

#include "ByteString.h"

#include <string>
#include <string_view>
#include <vector>

// Runs `argv` as the unprivileged user nobody (uid/gid 65534, no groups); its exit status,
// or -1 when it could not be run. Root passes permission bits and TIOCEXCL, nobody does not.
// Run by an ordinary user, `argv` runs as that user. LeakSanitizer is off in the child: it
// cannot stop the world as another user in every container.
int RunAsNobody(const std::vector<std::string>& argv);

// Exit status of opening `path` read-write as nobody: 0 when the open succeeded.
int OpenAsNobody(const std::string& path);

// A fresh private folder under /tmp, removed with its contents on destruction (folders the
// test closed are opened again first).
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

// "02 07 1F" or "02071f" as bytes; characters other than hex digits are skipped.
ByteString HexBytes(std::string_view hex);
