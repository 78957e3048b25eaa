// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>

// "major.minor.release" of the version stamped into the executable at `path`,
// empty when the file carries no version stamp or cannot be read.
std::string GetFileVersionText(const std::string& path);

// Path of the running executable (/proc/self/exe resolved).
std::string ProgramFilePath();
