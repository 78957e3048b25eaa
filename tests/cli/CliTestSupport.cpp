// SPDX-License-Identifier: Apache-2.0
#include "CliTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

std::vector<std::string> On(const VirtualDisplayProcess& display,
                            const std::vector<std::string>& args, int baud) {
    std::vector<std::string> all{"--port", display.PortName(), "--baud", std::to_string(baud)};
    all.insert(all.end(), args.begin(), args.end());
    return all;
}

nlohmann::json ReadDocument(const VirtualDisplayProcess& display, int baud) {
    const CliResult run = RunCli(On(display, {"get", "--json"}, baud));
    EXPECT_EQ(run.Status, 0) << run.Stderr;
    if (run.Status != 0)
        return nullptr;
    return nlohmann::json::parse(run.Stdout, nullptr, false);
}

std::string FileBytes(const std::string& path) {
    return std::filesystem::exists(path) ? ReadFileBytes(path) : std::string("<missing>");
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}
