// SPDX-License-Identifier: Apache-2.0
#include "TestSystem.h"

#include "ChildProcess.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

int RunAsNobody(const std::vector<std::string>& argv) {
    std::vector<std::string> full;
    if (::geteuid() == 0)
        full = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    full.insert(full.end(), argv.begin(), argv.end());
    ChildProcess child;
    if (full.empty() ||
        !child.Start(full.front(), {full.begin() + 1, full.end()}, {"ASAN_OPTIONS=detect_leaks=0"}))
        return -1;
    return child.Wait(std::chrono::seconds(60)).Status;
}

int OpenAsNobody(const std::string& path) {
    return RunAsNobody({"sh", "-c", "exec 3<>\"$1\"", "sh", path});
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vyl-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    namespace fs = std::filesystem;
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(path_, ignored))
        if (entry.is_directory(ignored))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

ByteString HexBytes(std::string_view hex) {
    ByteString bytes;
    int high = -1;
    for (const char c : hex) {
        int v;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else
            continue;
        if (high < 0) {
            high = v;
        } else {
            bytes += static_cast<char>(high * 16 + v);
            high = -1;
        }
    }
    return bytes;
}
