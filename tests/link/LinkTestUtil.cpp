#include "LinkTestUtil.h"

#include <QCoreApplication>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return done();
}

int RunAsNobody(const std::vector<std::string>& argv) {
    std::vector<std::string> full = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    full.insert(full.end(), argv.begin(), argv.end());
    std::vector<char*> args;
    for (auto& a : full)
        args.push_back(a.data());
    args.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        execvp(args[0], args.data());
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
    std::string pattern = "/tmp/vyl-link-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}
