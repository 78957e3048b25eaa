// SPDX-License-Identifier: Apache-2.0
#include "untVersion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::filesystem::path TempPath(const std::string& name) {
    return std::filesystem::temp_directory_path() /
           ("vyl-version-" + std::to_string(::getpid()) + "-" + name);
}

void WriteFile(const std::filesystem::path& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
}

// Stamps are built at run time so that this test program holds no second valid stamp.
std::string Stamp(const std::string& version) {
    std::string text = "#VYL-FILEVERSION:" + version + "#";
    text.front() = '\x01';
    text.back() = '\x01';
    return text;
}

} // namespace

TEST(Version, OwnProgramCarriesTheProjectVersion) {
    const std::string self = ProgramFilePath();
    ASSERT_FALSE(self.empty());
    EXPECT_TRUE(std::filesystem::equivalent(self, "/proc/self/exe"));
    EXPECT_EQ(GetFileVersionText(self), VYL_TEST_VERSION);
    // The running program's own stamp comes from memory; a copy of its file is searched.
    const std::filesystem::path copy = TempPath("program-copy");
    std::filesystem::copy_file(self, copy, std::filesystem::copy_options::overwrite_existing);
    EXPECT_EQ(GetFileVersionText(copy.string()), VYL_TEST_VERSION);
    std::filesystem::remove(copy);
}

TEST(Version, FilesWithoutAStamp) {
    EXPECT_EQ(GetFileVersionText(TempPath("missing").string()), "");
    EXPECT_EQ(GetFileVersionText(""), "");
    EXPECT_EQ(GetFileVersionText(std::filesystem::temp_directory_path().string()), "");

    const auto plain = TempPath("plain");
    WriteFile(plain, std::string(3000, 'x') + "VYL-FILEVERSION:1.2.3.4");
    EXPECT_EQ(GetFileVersionText(plain.string()), "");
    // Malformed stamps are not versions: letters, too few parts, no closing mark.
    std::string broken = Stamp("1.2.3.4");
    broken.pop_back();
    WriteFile(plain, Stamp("1.x.3.4") + Stamp("1.2") + broken);
    EXPECT_EQ(GetFileVersionText(plain.string()), "");
    std::filesystem::remove(plain);
}

TEST(Version, StampAnywhereInTheFile) {
    const auto file = TempPath("stamped");
    // A broken stamp first, then a good one a megabyte further on.
    std::string content = Stamp("9.x") + std::string((1 << 20) - 30, '\0');
    content += Stamp("12.34.56.78") + std::string(100, '\x01');
    WriteFile(file, content);
    EXPECT_EQ(GetFileVersionText(file.string()), "12.34.56");

    WriteFile(file, Stamp("2.0.7") + Stamp("3.0.0.0"));
    EXPECT_EQ(GetFileVersionText(file.string()), "2.0.7");
    std::filesystem::remove(file);
}
