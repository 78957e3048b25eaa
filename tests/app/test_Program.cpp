// SPDX-License-Identifier: Apache-2.0
// The program around the window: Qt's own texts in the window's language, Qt's own dialogs, the
// desktop entry's name, and the close on a session's end.

#include "AppTestSupport.h"
#include "untApplication.h"
#include "untLanguage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>

namespace {

// What Qt's texts look like in a window of the given language.
struct TQtTexts {
    QStringList BoxButtons;    // of a Yes/No question
    QString SaveTitle;         // the save dialog's caption
    QString SaveButton;        // its accept button
    QString FileNameLabel;     // the label of its name box
    QString ReplaceQuestion;   // the question before an existing file is replaced
    bool ReplaceAsked = false; // asked, and stayed open after "No"
};

TQtTexts QtTextsOfWindow(std::uint16_t langID) {
    TQtTexts texts;
    auto w = NewWindow(langID);
    WhenModalOpens([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        for (QAbstractButton* button : box->buttons())
            texts.BoxButtons << button->text();
        texts.BoxButtons.sort();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(ShowMessageBox("question", TMsgStyle::AskYesNo), TMsgResult::No);

    QTemporaryDir dir;
    QFile existing(dir.filePath("existing.ini"));
    EXPECT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        texts.SaveTitle = dialog->windowTitle();
        if (auto* buttons = dialog->findChild<QDialogButtonBox*>()) {
            for (QAbstractButton* button : buttons->buttons()) {
                if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole)
                    texts.SaveButton = button->text();
            }
        }
        if (auto* label = dialog->findChild<QLabel*>(QStringLiteral("fileNameLabel")))
            texts.FileNameLabel = label->text();
        // Accepting the existing file brings the question; "No" keeps the dialog open.
        WhenModalOpens([&](QWidget* question) {
            auto* box = qobject_cast<QMessageBox*>(question);
            ASSERT_NE(box, nullptr);
            texts.ReplaceQuestion = box->text();
            box->button(QMessageBox::No)->click();
        });
        static_cast<QDialog*>(dialog)->accept();
        texts.ReplaceAsked = !texts.ReplaceQuestion.isEmpty() && dialog->isVisible();
        dialog->reject();
    });
    EXPECT_FALSE(dlgSave_settings(w.get(), dir.path(), "existing.ini").has_value());
    return texts;
}

QString QtChinese(const char* context, const char* text) {
    QTranslator translator;
    EXPECT_TRUE(translator.load(QStringLiteral("qtbase_zh_CN"),
                                QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    return translator.translate(context, text);
}

} // namespace

TEST(Program, QtOwnTextsFollowTheWindowIntoChineseOnly) {
    // Debian's qt6-translations-l10n; scripts/packages.sh installs it.
    ASSERT_TRUE(QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                              QStringLiteral("/qtbase_zh_CN.qm")));
    const QString yes = QtChinese("QPlatformTheme", "&Yes");
    const QString no = QtChinese("QPlatformTheme", "&No");
    ASSERT_EQ(yes, QStringLiteral("是(&Y)"));
    ASSERT_EQ(no, QStringLiteral("否(&N)"));

    const TQtTexts chinese = QtTextsOfWindow(0x0804);
    EXPECT_EQ(chinese.BoxButtons, (QStringList{no, yes}));
    EXPECT_EQ(chinese.SaveTitle, QtChinese("QFileDialog", "Save As"));
    EXPECT_EQ(chinese.SaveTitle, QStringLiteral("另存为"));
    EXPECT_EQ(chinese.SaveButton, QtChinese("QFileDialog", "&Save"));
    EXPECT_EQ(chinese.FileNameLabel, QtChinese("QFileDialog", "File &name:"));
    EXPECT_TRUE(chinese.ReplaceAsked);
    EXPECT_TRUE(chinese.ReplaceQuestion.contains(QStringLiteral("已存在")))
        << chinese.ReplaceQuestion.toStdString();

    // Chinese of Taiwan and Hong Kong, and every other language, keep Qt's English, as the
    // window does; a Chinese window before them leaves nothing behind.
    for (std::uint16_t langID : {std::uint16_t{0x0404}, std::uint16_t{0x0C04},
                                 std::uint16_t{0x0409}, std::uint16_t{0x0407}}) {
        SCOPED_TRACE(langID);
        QtTextsOfWindow(0x0804);
        const TQtTexts english = QtTextsOfWindow(langID);
        EXPECT_EQ(english.BoxButtons, (QStringList{"&No", "&Yes"}));
        EXPECT_EQ(english.SaveTitle, "Save As");
        EXPECT_EQ(english.SaveButton, "&Save");
        EXPECT_EQ(english.FileNameLabel, "File &name:");
        EXPECT_TRUE(english.ReplaceAsked);
        EXPECT_TRUE(english.ReplaceQuestion.contains("already exists"))
            << english.ReplaceQuestion.toStdString();
    }
}

TEST(Program, SelectingQtLanguageTwiceInstallsOneTranslation) {
    EXPECT_TRUE(SelectQtLanguage(0x0804));
    EXPECT_TRUE(SelectQtLanguage(0x0804));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("是(&Y)"));
    EXPECT_FALSE(SelectQtLanguage(0x0409));
    // One removal undoes both selections.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Yes");
}

TEST(Program, ApplicationUsesQtDialogsAndNamesItsDesktopEntry) {
    EXPECT_TRUE(QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs));
    EXPECT_EQ(QGuiApplication::desktopFileName(), "io.github.vylsetup.VYLSetup");
    EXPECT_EQ(QCoreApplication::applicationName(), "VYL Setup");
}

TEST(Program, TerminationSignalClosesTheWindowThroughTheEventLoop) {
    for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(signal);
        struct sigaction before {};
        ASSERT_EQ(::sigaction(signal, nullptr, &before), 0);
        auto w = NewWindow();
        w->show();
        {
            const TTerminationSignals termination;
            ASSERT_EQ(::raise(signal), 0);
            // The handler only wakes the event loop; the window closes there.
            EXPECT_TRUE(w->isVisible());
            EXPECT_TRUE(QTest::qWaitFor([&] { return !w->isVisible(); }, 10000));
        }
        struct sigaction restored {};
        ASSERT_EQ(::sigaction(signal, nullptr, &restored), 0);
        EXPECT_EQ(restored.sa_handler, before.sa_handler);
    }
    // Nested event loops still run afterwards (the program was not told to quit): a dialog's
    // loop runs until its button is pressed. A plain dialog, not the file dialog, whose
    // folder-reading thread the thread sanitizer cannot follow.
    QDialog dialog;
    WhenModalOpens([](QWidget* modal) { qobject_cast<QDialog*>(modal)->accept(); });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
}
