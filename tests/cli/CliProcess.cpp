// SPDX-License-Identifier: Apache-2.0
#include "CliProcess.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string NameOf(const std::string& entry) {
    return entry.substr(0, entry.find('='));
}

} // namespace

CliProcess::CliProcess(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    std::string pattern = "/tmp/vyl-cli-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        return;
    dir_ = pattern;
    // Everything the child needs is made before the fork: a threaded parent's child may not
    // allocate.
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e)
        environment.emplace_back(*e);
    // Each setting replaces an earlier one of the same name.
    std::vector<std::string> settings{"LC_ALL=C.UTF-8"};
    settings.insert(settings.end(), env.begin(), env.end());
    for (const std::string& setting : settings) {
        std::erase_if(environment,
                      [&](const std::string& entry) { return NameOf(entry) == NameOf(setting); });
        environment.push_back(setting);
    }
    std::vector<std::string> all{VylctlProgram};
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
        return;
    const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int in = open("/dev/null", O_RDONLY);
    dup2(o, STDOUT_FILENO);
    dup2(e, STDERR_FILENO);
    dup2(in, STDIN_FILENO);
    execve(VylctlProgram.c_str(), argv.data(), envp.data());
    _exit(127);
}

CliProcess::~CliProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (!dir_.empty()) {
        unlink((dir_ + "/stdout").c_str());
        unlink((dir_ + "/stderr").c_str());
        rmdir(dir_.c_str());
    }
}

void CliProcess::Signal(int signal) {
    if (pid_ > 0)
        kill(pid_, signal);
}

CliResult CliProcess::Wait(std::chrono::milliseconds limit) {
    CliResult result;
    if (pid_ <= 0)
        return result;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int status = 0;
        const pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            if (WIFEXITED(status))
                result.Status = WEXITSTATUS(status);
            else if (WIFSIGNALED(status))
                result.Signal = WTERMSIG(status);
            break;
        }
        if (r < 0 || std::chrono::steady_clock::now() > deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    pid_ = -1;
    result.Stdout = ReadAll(dir_ + "/stdout");
    result.Stderr = ReadAll(dir_ + "/stderr");
    return result;
}

std::string CliProcess::StderrSoFar() const {
    return ReadAll(dir_ + "/stderr");
}

CliResult RunCli(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    CliProcess process(args, env);
    return process.Wait();
}
