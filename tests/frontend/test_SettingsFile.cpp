// SPDX-License-Identifier: Apache-2.0
// The settings file's rules that hold without a window: the string escapes, the extension rule,
// the folder of the first save.

#include "untSettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(SettingsFile, JsonStringEscapes) {
    const std::u16string text = u"a\b\t\n\f\r\"\\/\x01\x1f\x7f\x85\u2028\u2029é中";
    EXPECT_EQ(JsonStringLiteral(text),
              u"\"a\\b\\t\\n\\f\\r\\\"\\\\/\\u0001\\u001F\x7f\\u0085\\u2028\\u2029é中\"");
    EXPECT_EQ(JsonStringLiteral(u""), u"\"\"");
}

TEST(SettingsFile, ExtensionRule) {
    EXPECT_EQ(WithIniExtension("/tmp/settings"), "/tmp/settings.ini");
    EXPECT_EQ(WithIniExtension("/tmp/settings.ini"), "/tmp/settings.ini");
    EXPECT_EQ(WithIniExtension("/tmp/settings.txt"), "/tmp/settings.ini");
    EXPECT_EQ(WithIniExtension("/tmp/settings.json"), "/tmp/settings.ini");
    EXPECT_EQ(WithIniExtension("/tmp/my.dir/settings"), "/tmp/my.dir/settings.ini");
    EXPECT_EQ(WithIniExtension("/tmp/a.b.c"), "/tmp/a.b.ini");
}

TEST(SettingsFile, FirstSaveGoesToTheProgramFolderWhenWritable) {
    // The tests' own folder (the build tree) is writable: it is the program's folder here.
    const QString programDir = QFileInfo(QCoreApplication::applicationFilePath()).absolutePath();
    EXPECT_EQ(FirstSaveDirectory(), programDir);
    QTemporaryDir dir;
    EXPECT_EQ(FirstSaveDirectory(dir.path()), dir.path());
    EXPECT_EQ(FirstSaveDirectory(dir.filePath("gone")), QDir::homePath());
    EXPECT_EQ(FirstSaveDirectory(QString()), QDir::homePath());
}
