// SPDX-License-Identifier: Apache-2.0
#pragma once

// vylctl against virtual displays: the arguments that reach a display, its document read back.

#include "CliProcess.h"
#include "VirtualDisplayProcess.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

// `--port <the display's port> --baud <rate>` and then `args`.
std::vector<std::string> On(const VirtualDisplayProcess& display,
                            const std::vector<std::string>& args, int baud = 9600);

// The display's document as `vylctl get --json` prints it; null when the run failed (the
// test then fails with its output).
nlohmann::json ReadDocument(const VirtualDisplayProcess& display, int baud = 9600);

// Whether `part` occurs in `text` (a message among a command's messages).
inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The whole content of a file, "<missing>" when it cannot be read.
std::string FileBytes(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
