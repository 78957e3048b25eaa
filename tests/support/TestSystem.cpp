// SPDX-License-Identifier: Apache-2.0
#include "TestSystem.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

int RunAsNobody(const std::vector<std::string>& argv) {
    std::vector<std::string> full;
    if (::geteuid() == 0)
        full = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    full.insert(full.end(), argv.begin(), argv.end());
    std::vector<char*> args;
    for (auto& a : full)
        args.push_back(a.data());
    args.push_back(nullptr);
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e)
        if (std::strncmp(*e, "ASAN_OPTIONS=", 13) != 0)
            env.emplace_back(*e);
    env.emplace_back("ASAN_OPTIONS=detect_leaks=0");
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        execvpe(args[0], args.data(), envp.data());
        _exit(127);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
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
