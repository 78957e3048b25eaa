// SPDX-License-Identifier: Apache-2.0
#include "ChildProcess.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

std::string NameOf(const std::string& entry) {
    return entry.substr(0, entry.find('='));
}

ChildProcess::TExit ExitOf(int status) {
    ChildProcess::TExit exit;
    if (WIFEXITED(status))
        exit.Status = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        exit.Signal = WTERMSIG(status);
    return exit;
}

} // namespace

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

ChildProcess::ChildProcess() {
    std::string pattern = "/tmp/vyl-test-child-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr)
        dir_ = pattern;
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& env) {
    if (dir_.empty() || pid_ > 0 || exited_)
        return false;
    // Everything the child needs is made before the fork: a threaded parent's child may not
    // allocate.
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e)
        environment.emplace_back(*e);
    for (const std::string& setting : env) {
        std::erase_if(environment,
                      [&](const std::string& entry) { return NameOf(entry) == NameOf(setting); });
        environment.push_back(setting);
    }
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& e : environment)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    const std::string out = dir_ + "/stdout";
    const std::string err = dir_ + "/stderr";
    pid_ = fork();
    if (pid_ != 0)
        return pid_ > 0;
    const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int in = open("/dev/null", O_RDONLY);
    dup2(o, STDOUT_FILENO);
    dup2(e, STDERR_FILENO);
    dup2(in, STDIN_FILENO);
    execvpe(program.c_str(), argv.data(), envp.data());
    _exit(127);
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (!dir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
}

void ChildProcess::Signal(int signal) {
    if (pid_ > 0)
        kill(pid_, signal);
}

bool ChildProcess::Exited() {
    if (pid_ <= 0)
        return true;
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == 0)
        return false;
    if (r == pid_)
        exit_ = ExitOf(status);
    pid_ = -1;
    exited_ = true;
    return true;
}

ChildProcess::TExit ChildProcess::Wait(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!Exited()) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
            exited_ = true;
            exit_ = {};
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return exit_;
}
