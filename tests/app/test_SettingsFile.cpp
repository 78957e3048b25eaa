// SPDX-License-Identifier: Apache-2.0
// "Save Setting" and "Load Setting" through the window, and the file format.

#include "AppTestSupport.h"
#include "untSettingsFile.h"
#include "untSystemInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const QByteArray DefaultFile = "{\r\n"
                               "    \"temp1\": 0,\r\n"
                               "    \"Baud_Rate\": 0,\r\n"
                               "    \"temp2\": 4,\r\n"
                               "    \"Char_No\": 0,\r\n"
                               "    \"Expand_Char_No\": 0,\r\n"
                               "    \"Comm_No\": 255,\r\n"
                               "    \"wel_mess1\": \"***  VYL DISPLAY ***\",\r\n"
                               "    \"wel_mess2\": \"**HAVE A NICE DAY AND THANK YOU**\",\r\n"
                               "    \"back_light\": 3\r\n"
                               "}";

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Saves through the button, the dialog answered with `chosen`.
void Save(TfrmVylSetup& w, TDialogScript& script, const QString& chosen) {
    script.FileAnswers.push_back(chosen);
    w.btn_savesettings->click();
}

void Load(TfrmVylSetup& w, TDialogScript& script, const QString& chosen) {
    script.FileAnswers.push_back(chosen);
    w.btn_loadsettings->click();
}

} // namespace

TEST(WindowSettingsFile, DefaultFileByteForByte) {
    QTemporaryDir dir;
    TDialogScript script;
    auto w = NewWindow();
    const QString path = dir.filePath("VYL Setup");
    Save(*w, script, path);
    EXPECT_EQ(ReadAll(path + ".ini"), DefaultFile);
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_EQ(script.Boxes[0].Text, "Save Settings File Success:" + path + ".ini");
    EXPECT_EQ(script.Boxes[0].Style, TMsgStyle::Information);
    EXPECT_EQ(script.Boxes[0].Caption, "Message");

    // The dialog: filter, proposed name, first directory, then the last file's directory.
    ASSERT_EQ(script.FileDialogs.size(), 1u);
    EXPECT_EQ(script.FileDialogs[0].Kind, TFileDialogKind::Save);
    EXPECT_EQ(script.FileDialogs[0].ProposedName, "VYL Setup");
    EXPECT_EQ(script.FileDialogs[0].Filter, "Settings Files(*.ini)");
    EXPECT_EQ(script.FileDialogs[0].Directory, FirstSaveDirectory());
    QDir(dir.path()).mkdir("sub");
    Save(*w, script, dir.filePath("sub/next"));
    Save(*w, script, dir.filePath("third.ini"));
    ASSERT_EQ(script.FileDialogs.size(), 3u);
    EXPECT_EQ(script.FileDialogs[1].Directory, dir.path());
    EXPECT_EQ(script.FileDialogs[2].Directory, dir.filePath("sub"));
    EXPECT_EQ(script.FileDialogs[2].ProposedName, "VYL Setup");
    EXPECT_EQ(w->SaveDirectory(), dir.path());
}

TEST(WindowSettingsFile, ExtensionRuleWhenSaving) {
    QTemporaryDir dir;
    TDialogScript script;
    auto w = NewWindow();
    QDir(dir.path()).mkdir("my.dir");
    Save(*w, script, dir.filePath("my.dir/settings"));
    EXPECT_EQ(ReadAll(dir.filePath("my.dir/settings.ini")), DefaultFile);
    Save(*w, script, dir.filePath("settings.json"));
    EXPECT_EQ(ReadAll(dir.filePath("settings.ini")), DefaultFile);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("settings.json")));
    EXPECT_EQ(script.Boxes.size(), 2u);
}

TEST(WindowSettingsFile, ReplacingAnotherFileAsksFirst) {
    QTemporaryDir dir;
    TDialogScript script;
    auto w = NewWindow();
    const QString ini = dir.filePath("settings.ini");
    WriteAll(ini, "keep me");

    // The user picked settings.txt; the rule lands on the existing settings.ini: No keeps it.
    script.BoxAnswers.push_back(TMsgResult::No);
    Save(*w, script, dir.filePath("settings.txt"));
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_EQ(script.Boxes[0].Style, TMsgStyle::AskYesNo);
    EXPECT_EQ(script.Boxes[0].Caption, "Ask");
    EXPECT_TRUE(script.Boxes[0].Text.contains(ini));
    EXPECT_EQ(ReadAll(ini), "keep me");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("settings.txt")));

    // Yes replaces it.
    script.BoxAnswers.push_back(TMsgResult::Yes);
    Save(*w, script, dir.filePath("settings.txt"));
    ASSERT_EQ(script.Boxes.size(), 3u);
    EXPECT_EQ(script.Boxes[2].Text, "Save Settings File Success:" + ini);
    EXPECT_EQ(ReadAll(ini), DefaultFile);

    // The name the user picked himself: the dialog asked already, no second question.
    WriteAll(ini, "old");
    Save(*w, script, ini);
    ASSERT_EQ(script.Boxes.size(), 4u);
    EXPECT_EQ(script.Boxes[3].Style, TMsgStyle::Information);
    EXPECT_EQ(ReadAll(ini), DefaultFile);
}

TEST(WindowSettingsFile, CancelledDialogsKeepTheCapture) {
    TDialogScript script;
    auto w = NewWindow();
    w->cbb_CommandMode_Set->setCurrentIndex(2);
    script.FileAnswers.push_back(std::nullopt);
    w->btn_savesettings->click();
    EXPECT_EQ(SystemInfo.Comm_No, 2);
    w->cbb_CommandMode_Set->setCurrentIndex(5);
    script.FileAnswers.push_back(std::nullopt);
    w->btn_loadsettings->click();
    EXPECT_EQ(SystemInfo.Comm_No, 5);
    EXPECT_EQ(script.FileDialogs.back().Kind, TFileDialogKind::Open);
    EXPECT_EQ(script.FileDialogs.back().Filter, "Settings Files(*.ini)");
    EXPECT_TRUE(script.Boxes.empty());
}

TEST(WindowSettingsFile, RoundTripIntoAFreshWindow) {
    QTemporaryDir dir;
    const QString path = dir.filePath("round.ini");
    {
        TDialogScript script;
        auto w = NewWindow();
        w->cbb_CommandMode_Set->setCurrentIndex(2);
        w->cbb_BaudRate_Set->setCurrentIndex(3);
        w->rg_InterChar_Set()->Button(12)->click(); // Russia, CP866
        w->edt_line1->setText(QStringLiteral("Привет"));
        w->edt_line2->setText("Tab\there \"quoted\" back\\slash");
        w->chk_Scroll2->setChecked(false);
        w->rg_brightness->Button(0)->click();
        w->mmo_line1_hex->setPlainText("41 42 43"); // hand edits are not saved
        Save(*w, script, path);
        EXPECT_EQ(script.BoxTexts(), QStringList{"Save Settings File Success:" + path});
        const QByteArray file = ReadAll(path);
        EXPECT_TRUE(file.contains(
            "    \"wel_mess1\": \"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\",\r\n"));
        EXPECT_TRUE(file.contains("\"Tab\\there \\\"quoted\\\" back\\\\slash\""));
        EXPECT_TRUE(file.contains("    \"temp2\": 6,\r\n"));
        EXPECT_FALSE(file.contains("hex"));
    }
    TDialogScript script;
    auto w = NewWindow();
    Load(*w, script, path);
    EXPECT_TRUE(script.Boxes.empty());
    EXPECT_EQ(w->cbb_CommandMode_Set->currentText(), "AEDEX");
    EXPECT_EQ(w->cbb_BaudRate_Set->currentText(), "57600");
    EXPECT_EQ(w->rg_InterChar_Set()->ItemIndex(), 12);
    EXPECT_EQ(w->rg_CodePage_Set()->ItemIndex(), 13);
    EXPECT_EQ(w->cbb_CodePage_Msg->currentText(), "CP866");
    EXPECT_EQ(w->edt_line1->text(), QStringLiteral("Привет"));
    EXPECT_EQ(w->edt_line2->text(), "Tab\there \"quoted\" back\\slash");
    EXPECT_FALSE(w->chk_Scroll2->isChecked());
    EXPECT_TRUE(w->chk_Scroll1->isChecked());
    EXPECT_EQ(w->rg_brightness->ItemIndex(), 0);
    // The views are computed anew in the loaded code page (CP866: П 8F, р E0 ...).
    EXPECT_EQ(w->mmo_line1_hex->toPlainText(), "8F E0 A8 A2 A5 E2");
    // The port speed is not part of the file.
    EXPECT_EQ(w->cbb_BaudRate->currentText(), "9600");
}

TEST(WindowSettingsFile, LoadingChineseTextWithGbk) {
    QTemporaryDir dir;
    const QString path = dir.filePath("zh.ini");
    WriteAll(path, QStringLiteral("{\"wel_mess1\": \"中文\", \"Expand_Char_No\": 25}").toUtf8());
    TDialogScript script;
    auto w = NewWindow();
    Load(*w, script, path);
    EXPECT_TRUE(script.Boxes.empty());
    EXPECT_EQ(w->cbb_CodePage_Msg->currentText(), "CP936_GBK");
    EXPECT_EQ(w->edt_line1->text(), QStringLiteral("中文"));
    EXPECT_EQ(w->lbl_mess1_count->text(), "2");
    EXPECT_EQ(w->mmo_line1_hex->toPlainText(), "D6 D0 CE C4");

    // And saved back as UTF-8 characters, not escapes.
    Save(*w, script, path);
    EXPECT_TRUE(ReadAll(path).contains("\"wel_mess1\": \"\xE4\xB8\xAD\xE6\x96\x87\""));
    EXPECT_TRUE(ReadAll(path).contains("\"Expand_Char_No\": 25,"));
}

TEST(WindowSettingsFile, PartialFileChangesOnlyItsMembers) {
    QTemporaryDir dir;
    const QString path = dir.filePath("part.ini");
    WriteAll(path, "{\"Comm_No\": 2}");
    TDialogScript script;
    auto w = NewWindow();
    w->edt_line2->setText("unsaved edit");
    w->rg_brightness->Button(1)->click();
    Load(*w, script, path);
    EXPECT_EQ(w->cbb_CommandMode_Set->currentText(), "AEDEX");
    EXPECT_EQ(w->edt_line2->text(), "unsaved edit");
    EXPECT_EQ(w->rg_brightness->ItemIndex(), 1);
    EXPECT_EQ(w->edt_line1->text(), "***  VYL DISPLAY ***");

    // A file may set a hex view itself.
    WriteAll(path, "{\"wel_mess1_hex\": \"01 02\"}");
    Load(*w, script, path);
    EXPECT_EQ(w->mmo_line1_hex->toPlainText(), "01 02");
    EXPECT_TRUE(script.Boxes.empty());
}

TEST(WindowSettingsFile, LoadFailures) {
    QTemporaryDir dir;
    TDialogScript script;
    auto w = NewWindow();
    const QString path = dir.filePath("bad.ini");
    const auto loadText = [&](const QByteArray& content) {
        WriteAll(path, content);
        script.Boxes.clear();
        Load(*w, script, path);
    };

    loadText("");
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_EQ(script.Boxes[0].Text, "Load Settings Error!");
    EXPECT_EQ(script.Boxes[0].Style, TMsgStyle::Warning);
    EXPECT_EQ(script.Boxes[0].Caption, "Warning");

    loadText("not json");
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_EQ(script.Boxes[0].Text, "Explain Settings Error: Parsing failed!");
    EXPECT_EQ(script.Boxes[0].Style, TMsgStyle::Warning);

    loadText("  \r\n \r\n");
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_EQ(script.Boxes[0].Text, "Explain Settings Error: Parsing failed!");

    // A bad member after a good one: the good one is applied, the controls stay.
    w->mmo_line1_hex->setPlainText("AA");
    loadText("{\"back_light\": 1, \"Comm_No\": \"3\"}");
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_TRUE(script.Boxes[0].Text.startsWith("Explain Settings Error: Get Settings Failed:"))
        << script.Boxes[0].Text.toStdString();
    EXPECT_EQ(SystemInfo.back_light, 1);
    EXPECT_EQ(SystemInfo.Comm_No, 255);
    EXPECT_TRUE(SystemInfo.wel_mess1_hex.empty());
    EXPECT_EQ(w->rg_brightness->ItemIndex(), 2);
    EXPECT_EQ(w->mmo_line1_hex->toPlainText(), "AA");

    loadText("{\"Comm_No\": 1.5}");
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_TRUE(script.Boxes[0].Text.startsWith("Explain Settings Error: Get Settings Failed:"));

    // A top-level value that is no object: the general exception report, an error box.
    loadText("[1, 2]");
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_EQ(script.Boxes[0].Style, TMsgStyle::Error);
    EXPECT_EQ(script.Boxes[0].Caption, "Error");
    EXPECT_FALSE(script.Boxes[0].Text.isEmpty());
    EXPECT_TRUE(SystemInfo.wel_mess1_hex.empty());
    EXPECT_EQ(w->mmo_line1_hex->toPlainText(), "AA");

    // A file that cannot be opened: the system's error text through the general report.
    script.Boxes.clear();
    Load(*w, script, dir.filePath("missing.ini"));
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_EQ(script.Boxes[0].Style, TMsgStyle::Error);
    EXPECT_TRUE(script.Boxes[0].Text.contains("missing.ini")) << script.Boxes[0].Text.toStdString();

    // The window stays usable afterwards.
    loadText("{\"Comm_No\": 4}");
    EXPECT_TRUE(script.Boxes.empty());
    EXPECT_EQ(w->cbb_CommandMode_Set->currentText(), "UTC/E");
}

TEST(WindowSettingsFile, SaveFailureReportsTheSystemError) {
    QTemporaryDir dir;
    TDialogScript script;
    auto w = NewWindow();
    Save(*w, script, dir.filePath("no/such/folder/x"));
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_EQ(script.Boxes[0].Style, TMsgStyle::Error);
    EXPECT_FALSE(script.Boxes[0].Text.startsWith("Save Settings File Success:"));

    // A folder where the file should be.
    QDir(dir.path()).mkdir("taken.ini");
    script.Boxes.clear();
    Save(*w, script, dir.filePath("taken.ini"));
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_EQ(script.Boxes[0].Style, TMsgStyle::Error);
    EXPECT_TRUE(QFileInfo(dir.filePath("taken.ini")).isDir());
}

TEST(WindowSettingsFile, OnlyRegularFilesUpToOneMebibyteAreRead) {
    QTemporaryDir dir;
    TDialogScript script;
    auto w = NewWindow();
    w->cbb_CommandMode_Set->setCurrentIndex(6);

    const QString fifo = dir.filePath("fifo.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    Load(*w, script, fifo); // would block in open() if it were read
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_EQ(script.Boxes[0].Style, TMsgStyle::Warning);
    EXPECT_TRUE(script.Boxes[0].Text.startsWith("Load Settings Error!"));
    EXPECT_TRUE(script.Boxes[0].Text.contains("not a regular file"));

    script.Boxes.clear();
    Load(*w, script, dir.path());
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_TRUE(script.Boxes[0].Text.contains("not a regular file"));

    // One byte over the limit is refused; exactly the limit is read.
    const QString big = dir.filePath("big.ini");
    QByteArray content = "{\"Comm_No\": 1}";
    content.append(QByteArray(MaxSettingsFileSize - content.size(), ' '));
    WriteAll(big, content + " ");
    script.Boxes.clear();
    Load(*w, script, big);
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_TRUE(script.Boxes[0].Text.contains("larger than 1 MiB"));
    EXPECT_EQ(w->cbb_CommandMode_Set->currentIndex(), 6);
    EXPECT_EQ(SystemInfo.Comm_No, 6);

    WriteAll(big, content);
    script.Boxes.clear();
    Load(*w, script, big);
    EXPECT_TRUE(script.Boxes.empty());
    EXPECT_EQ(w->cbb_CommandMode_Set->currentText(), "EPSON ESC/POS");

    // The refusals in the Chinese window's language too.
    auto chinese = NewWindow(0x0804);
    script.Boxes.clear();
    Load(*chinese, script, fifo);
    ASSERT_EQ(script.Boxes.size(), 1u);
    EXPECT_TRUE(script.Boxes[0].Text.contains(QStringLiteral("所选文件不是普通文件")))
        << script.Boxes[0].Text.toStdString();
}
