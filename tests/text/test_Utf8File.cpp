// SPDX-License-Identifier: Apache-2.0
#include "ReadOnlyFolderScenario.h"
#include "TestSystem.h"
#include "untUtf8File.h"
#include "untVersion.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// A fresh folder per test, removed afterwards (permissions opened up first).
class Utf8File : public testing::Test {
protected:
    void SetUp() override { dir_ = temp_.Path(); }
    fs::path Path(const std::string& name) const { return dir_ / name; }
    std::size_t EntryCount(const fs::path& folder) const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }

    TempDir temp_;
    fs::path dir_;
};

std::string Content(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put(const fs::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

ino_t Inode(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

fs::perms Mode(const fs::path& path) {
    return fs::status(path).permissions() & fs::perms::mask;
}

template <typename Action> EFileError CatchFileError(Action action) {
    try {
        action();
    } catch (const EFileError& e) {
        return e;
    }
    ADD_FAILURE() << "no EFileError";
    return EFileError("", 0);
}

} // namespace

TEST_F(Utf8File, RoundTripWithoutByteOrderMark) {
    const auto file = Path("settings.ini");
    const std::u16string text = u"{\n  \"wel_mess1\": \"\u6B22\u8FCE\u5149\u4E34\",\n  \"e\": "
                                u"\"\u20AC \U0001F600\"\n}\n";
    WriteUtf8File(text, file.string());
    EXPECT_EQ(Content(file),
              "{\n  \"wel_mess1\": \"\xE6\xAC\xA2\xE8\xBF\x8E\xE5\x85\x89\xE4\xB8\xB4"
              "\",\n  \"e\": \"\xE2\x82\xAC \xF0\x9F\x98\x80\"\n}\n");
    EXPECT_EQ(ReadUtf8File(file.string()), text);

    // A shorter text replaces all of a longer one; an empty text leaves an empty file.
    WriteUtf8File(u"\u4E2D", file.string());
    EXPECT_EQ(Content(file), "\xE4\xB8\xAD");
    WriteUtf8File(u"", file.string());
    EXPECT_EQ(Content(file), "");
    EXPECT_EQ(ReadUtf8File(file.string()), u"");
    // A lone surrogate cannot be UTF-8: it is written as U+FFFD.
    WriteUtf8File(u"a\xD800z", file.string());
    EXPECT_EQ(Content(file), "a\xEF\xBF\xBDz");
    EXPECT_EQ(EntryCount(dir_), 1u) << "temporary file left behind";

    // A new file gets the usual mode for new files.
    const mode_t mask = ::umask(022);
    ::umask(mask);
    WriteUtf8File(u"x", Path("new.ini").string());
    EXPECT_EQ(Mode(Path("new.ini")), fs::perms(0666 & ~mask));
}

TEST_F(Utf8File, ReadSkipsLeadingBomAndRepairsMalformedBytes) {
    const auto file = Path("bom.ini");
    Put(file, "\xEF\xBB\xBF{\"a\":\"\xE4\xB8\xAD\"}");
    EXPECT_EQ(ReadUtf8File(file.string()), u"{\"a\":\"\u4E2D\"}");
    Put(file, "\xEF\xBB\xBF\xEF\xBB\xBFx"); // only the first one is a byte-order mark
    EXPECT_EQ(ReadUtf8File(file.string()), u"\uFEFFx");
    Put(file, "\xEF\xBB\xBF");
    EXPECT_EQ(ReadUtf8File(file.string()), u"");
    Put(file, "a\xFF"
              "b\xE4\xB8"
              "c"s);
    EXPECT_EQ(ReadUtf8File(file.string()), u"a\uFFFDb\uFFFDc");
    Put(file, "a\0b"s);
    EXPECT_EQ(ReadUtf8File(file.string()), u"a\0b"s);
    // Larger than one read.
    const std::string big(200000, 'z');
    Put(file, big + "\xE4\xB8\xAD");
    EXPECT_EQ(ReadUtf8File(file.string()), std::u16string(200000, u'z') + u"\u4E2D");
}

TEST_F(Utf8File, ErrorsCarryPathAndOsText) {
    const auto missing = Path("missing.ini");
    EFileError e = CatchFileError([&] { ReadUtf8File(missing.string()); });
    EXPECT_EQ(e.OsError, ENOENT);
    EXPECT_NE(std::string(e.what()).find(missing.string()), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find(std::strerror(ENOENT)), std::string::npos) << e.what();

    e = CatchFileError([&] { ReadUtf8File(dir_.string()); });
    EXPECT_EQ(e.OsError, EISDIR);

    // Writing onto a folder: refused, the folder and its parent as they were.
    const auto folder = Path("folder.ini");
    fs::create_directory(folder);
    Put(folder / "inside", "x");
    e = CatchFileError([&] { WriteUtf8File(u"x", folder.string()); });
    EXPECT_EQ(e.OsError, EISDIR);
    EXPECT_NE(std::string(e.what()).find(folder.string()), std::string::npos) << e.what();
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(Content(folder / "inside"), "x");
    EXPECT_EQ(EntryCount(dir_), 1u) << "temporary file left behind";

    e = CatchFileError([&] { WriteUtf8File(u"x", Path("no-folder/x.ini").string()); });
    EXPECT_EQ(e.OsError, ENOENT);
    Put(Path("plain"), "x");
    e = CatchFileError([&] { WriteUtf8File(u"x", Path("plain/x.ini").string()); });
    EXPECT_EQ(e.OsError, ENOTDIR);
    EXPECT_EQ(Content(Path("plain")), "x");
}

TEST_F(Utf8File, SymbolicLinkIsFollowedAndKept) {
    fs::create_directory(Path("real"));
    const auto target = Path("real/settings.ini");
    Put(target, "old");
    fs::permissions(target, fs::perms(0640));
    // A relative link to a link to the file.
    fs::create_symlink("real/settings.ini", Path("inner"));
    fs::create_symlink(Path("inner"), Path("outer"));

    WriteUtf8File(u"\u65B0", Path("outer").string());
    EXPECT_TRUE(fs::is_symlink(Path("outer")));
    EXPECT_TRUE(fs::is_symlink(Path("inner")));
    EXPECT_EQ(fs::read_symlink(Path("inner")), "real/settings.ini");
    EXPECT_EQ(Content(target), "\xE6\x96\xB0");
    EXPECT_EQ(Mode(target), fs::perms(0640));
    EXPECT_EQ(EntryCount(Path("real")), 1u);
    EXPECT_EQ(EntryCount(dir_), 3u);

    // A link whose file does not exist yet: the file is made where the link points.
    fs::create_symlink("real/later.ini", Path("dangling"));
    WriteUtf8File(u"x", Path("dangling").string());
    EXPECT_TRUE(fs::is_symlink(Path("dangling")));
    EXPECT_EQ(Content(Path("real/later.ini")), "x");

    fs::create_symlink("loop-b", Path("loop-a"));
    fs::create_symlink("loop-a", Path("loop-b"));
    EXPECT_EQ(CatchFileError([&] { WriteUtf8File(u"x", Path("loop-a").string()); }).OsError, ELOOP);
}

TEST_F(Utf8File, ReplacedFileKeepsItsPermissionBits) {
    for (const unsigned mode : {0644u, 0600u, 0751u, 0604u}) {
        const auto file = Path("mode.ini");
        Put(file, "old");
        fs::permissions(file, fs::perms(mode));
        const ino_t before = Inode(file);
        WriteUtf8File(u"new", file.string());
        EXPECT_EQ(Mode(file), fs::perms(mode)) << std::oct << mode;
        EXPECT_EQ(Content(file), "new");
        // Replaced by renaming a complete new file, not rewritten where it stood.
        EXPECT_NE(Inode(file), before);
        fs::remove(file);
    }
}

TEST_F(Utf8File, ReadOnlyFolderAsUnprivilegedUser) {
    fs::permissions(dir_, fs::perms(0755));
    if (::geteuid() != 0) {
        PrepareReadOnlyFolder(dir_.string(), -1);
        EXPECT_EQ(RunReadOnlyFolderScenario(dir_.string()), 0);
        return;
    }
    // As the superuser, whom permission bits do not stop, the checks run in a copy of this
    // program as user nobody (our own build folder may be closed to that user).
    constexpr int Nobody = 65534;
    PrepareReadOnlyFolder(dir_.string(), Nobody);
    const fs::path self = Path("text_tests");
    fs::copy_file(ProgramFilePath(), self);
    fs::permissions(self, fs::perms(0755));

    EXPECT_EQ(RunAsNobody({self.string(), ReadOnlyFolderSwitch, dir_.string()}), 0)
        << "see the scenario's messages above";
}
