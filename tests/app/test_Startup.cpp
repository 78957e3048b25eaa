// SPDX-License-Identifier: Apache-2.0
// The window as start-up leaves it: lists, defaults, captions in both languages, limits.

#include "AppTestSupport.h"
#include "untDisplayPicture.h"
#include "untDisplaySession.h"
#include "untLanguage.h"
#include "untSystemInfo.h"

#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

const QString DefaultLine1 = QStringLiteral("***  VYL DISPLAY ***");
const QString DefaultLine2 = QStringLiteral("**HAVE A NICE DAY AND THANK YOU**");

QStringList TabTexts(const QTabWidget* pages) {
    QStringList texts;
    for (int i = 0; i < pages->count(); ++i)
        texts << pages->tabText(i);
    return texts;
}

} // namespace

TEST(WindowStartup, ListsAndDefaultsFromTheTables) {
    TDialogScript script;
    // Programs running alongside (other tests' displays) publish and withdraw virtual ports at
    // any moment: the window's list is compared with one that stood unchanged from before the
    // window was made until after.
    std::vector<std::string> ports;
    std::unique_ptr<TfrmVylSetup> w;
    for (int attempt = 0; attempt < 20; ++attempt) {
        std::vector<std::string> after;
        TDisplaySession::ListPorts(ports);
        w = NewWindow();
        TDisplaySession::ListPorts(after);
        if (after == ports)
            break;
    }

    EXPECT_EQ(w->windowTitle(), QStringLiteral("VYL Setup v" VYL_TEST_VERSION));
    EXPECT_EQ(w->PageControl1->currentWidget(), w->tsBasicSet);
    EXPECT_EQ(w->PageControl1->widget(0), w->tsBasicSet);
    EXPECT_EQ(w->PageControl1->widget(1), w->tsCodepageSet);
    EXPECT_EQ(w->PageControl1->widget(2), w->tsDisplayTest);

    const QStringList speeds{"9600", "19200", "38400", "57600", "115200"};
    EXPECT_EQ(ComboItems(w->cbb_BaudRate), speeds);
    EXPECT_EQ(ComboItems(w->cbb_BaudRate_Set), speeds);
    EXPECT_EQ(w->cbb_BaudRate->currentText(), "9600");
    EXPECT_EQ(w->cbb_BaudRate_Set->currentText(), "9600");
    EXPECT_EQ(w->CurrentBaudRate(), 9600);

    const QStringList modes = ComboItems(w->cbb_CommandMode_Set);
    ASSERT_EQ(modes.size(), 16);
    EXPECT_EQ(modes.front(), "LD220");
    EXPECT_EQ(modes[1], "EPSON ESC/POS");
    EXPECT_EQ(w->cbb_CommandMode_Set->currentText(), "AUTO");

    const QStringList sets = w->rg_InterChar_Set()->Items();
    ASSERT_EQ(sets.size(), 20);
    EXPECT_EQ(sets.front(), "USA");
    EXPECT_EQ(sets[12], "Russia");
    EXPECT_EQ(sets.back(), "Other");
    EXPECT_EQ(w->rg_InterChar_Set()->ItemIndex(), 0);

    const QStringList pages = w->rg_CodePage_Set()->Items();
    ASSERT_EQ(pages.size(), 34);
    EXPECT_EQ(pages.front(), "CP437");
    EXPECT_EQ(pages[18], "CP936_GBK");
    EXPECT_EQ(pages.back(), "UTF-8");
    EXPECT_EQ(ComboItems(w->cbb_CodePage_Msg), pages);
    EXPECT_EQ(ComboItems(w->cbb_codepage_Test()), pages);
    EXPECT_EQ(w->rg_CodePage_Set()->ItemIndex(), 0);
    EXPECT_EQ(w->cbb_CodePage_Msg->currentIndex(), 0);
    EXPECT_EQ(w->cbb_codepage_Test()->currentIndex(), 0);

    // No device values yet.
    EXPECT_EQ(w->StatusBar1->PanelCount(), 4);
    EXPECT_EQ(w->StatusBar1->PanelText(0), "Model: ");
    EXPECT_EQ(w->StatusBar1->PanelText(1), "Firmware Version: 0");
    EXPECT_EQ(w->StatusBar1->PanelText(2), "");
    EXPECT_EQ(w->StatusBar1->PanelText(3), "");

    EXPECT_EQ(w->rg_brightness->Items(), (QStringList{"25%", "50%", "75%", "100%"}));
    EXPECT_EQ(w->rg_brightness->ItemIndex(), 2);
    EXPECT_TRUE(w->chk_Scroll1->isChecked());
    EXPECT_TRUE(w->chk_Scroll1->isHidden());
    EXPECT_TRUE(w->chk_Scroll2->isChecked());
    EXPECT_FALSE(w->chk_Scroll2->isHidden());

    EXPECT_EQ(w->edt_line1->text(), DefaultLine1);
    EXPECT_EQ(w->edt_line2->text(), DefaultLine2);
    EXPECT_EQ(w->lbl_mess1_count->text(), "20");
    EXPECT_EQ(w->lbl_mess2_count->text(), "33");
    EXPECT_EQ(w->mmo_line1_hex->toPlainText(),
              "2A 2A 2A 20 20 56 59 4C 20 44 49 53 50 4C 41 59 20 2A 2A 2A");
    EXPECT_EQ(w->mmo_line2_hex->toPlainText(),
              "2A 2A 48 41 56 45 20 41 20 4E 49 43 45 20 44 41 59 20 41 4E 44 20 54 48 41 4E 4B "
              "20 59 4F 55 2A 2A");

    EXPECT_EQ(w->edt_Text()->text(), "1234567890ABCDEFGHIJ");
    EXPECT_FALSE(w->chk_PositionAt()->isChecked());
    EXPECT_EQ(w->ud_Row()->Position(), 1);
    EXPECT_EQ(w->ud_Column()->Position(), 1);
    EXPECT_EQ(w->btn_E0FF()->text(), " 0xE0 ~ 0xFF");
    EXPECT_EQ(w->btn_203F()->text(), "0x20 ~ 0x3F");
    EXPECT_TRUE(w->grp_Settings->isEnabled());

    // The port list is what the link lists, the first one chosen.
    ASSERT_EQ(w->cbb_SerialPort->count(), static_cast<int>(ports.size()));
    for (std::size_t i = 0; i < ports.size(); ++i)
        EXPECT_EQ(w->cbb_SerialPort->itemText(static_cast<int>(i)).toStdString(), ports[i]);
    EXPECT_EQ(w->cbb_SerialPort->currentIndex(), ports.empty() ? -1 : 0);
    EXPECT_EQ(QString::fromStdU16String(w->CurrentPortName()), w->cbb_SerialPort->currentText());

    // The settings record holds the default document.
    EXPECT_EQ(SystemInfo.Comm_No, 255);
    EXPECT_EQ(SystemInfo.back_light, 3);
    EXPECT_TRUE(script.Boxes.empty());
}

TEST(WindowStartup, EnglishCaptionsForEveryLanguageButChinesePrc) {
    for (std::uint16_t langID : {std::uint16_t{0x0409}, std::uint16_t{0x0404},
                                 std::uint16_t{0x0C04}, std::uint16_t{0x0407}}) {
        SCOPED_TRACE(langID);
        auto w = NewWindow(langID);
        EXPECT_EQ(w->LangID, langID);
        EXPECT_EQ(TabTexts(w->PageControl1),
                  (QStringList{" Basic Setting", "CharacterSet Setting", "Display Testing"}));
        EXPECT_EQ(w->grp_Settings->title(), "COM Settings");
        EXPECT_EQ(w->lab_SerialPort->text(), "Serial Port:");
        EXPECT_EQ(w->grp_WelcomeMessage->title(), "Welcome Message Set");
        EXPECT_EQ(w->lbl_codepage_hint_welmsg->text(), "(For text encoding conversion only)");
        EXPECT_EQ(w->rg_InterChar_Set()->title(), "CharacterSet");
        EXPECT_EQ(w->grp_TestText()->title(), "Display Test");
        EXPECT_EQ(w->btn_GetSetting->text(), "Get Setting");
        EXPECT_EQ(w->rg_InterChar_Set()->Items().front(), "USA");
        EXPECT_EQ(HandShakeFailMessage(),
                  "The customer display handshake failed for the following reasons:\r\r1. The "
                  "serial port number is incorrect\r2. Baud rate mismatch\r3. TX pin is not "
                  "connected");
        EXPECT_EQ(ModelLabel(), "Model:");
        EXPECT_EQ(CodePageLabel(), "CodePage:");
    }
}

TEST(WindowStartup, ChineseCaptionsForChinesePrc) {
    auto w = NewWindow(0x0804);
    EXPECT_EQ(TabTexts(w->PageControl1),
              (QStringList{QStringLiteral(" 基本设置 "), QStringLiteral(" 代码页设置 "),
                           QStringLiteral(" 客显测试 ")}));
    EXPECT_EQ(w->lab_SerialPort->text(), QStringLiteral("端口号："));
    EXPECT_EQ(w->lbl_codepage_hint_test()->text(), QStringLiteral("（仅为文本做编码转换）"));
    EXPECT_EQ(w->rg_brightness->title(), QStringLiteral("亮度调节"));
    EXPECT_EQ(w->btn_Exit->text(), QStringLiteral("退出"));
    EXPECT_EQ(w->chk_PositionAt()->text(), QStringLiteral("指定位置显示"));
    EXPECT_EQ(w->grp_Test_InterChar()->title(), QStringLiteral("标准ASCII"));
    EXPECT_EQ(w->StatusBar1->PanelText(0), QStringLiteral("型号： "));
    EXPECT_EQ(w->StatusBar1->PanelText(1), QStringLiteral("固件版本： 0"));
    EXPECT_EQ(
        HandShakeFailMessage(),
        QStringLiteral(
            "客显握手失败，可能有以下原因：\r\r1.串口号不正确\r2.波特率不匹配\r3.TX引脚未连接"));
    EXPECT_EQ(BaudRateLabel(), QStringLiteral("波特率："));
    const QStringList sets = w->rg_InterChar_Set()->Items();
    EXPECT_EQ(sets.front(), QStringLiteral("美国"));
    EXPECT_EQ(sets[12], QStringLiteral("俄罗斯"));
    EXPECT_EQ(sets.back(), QStringLiteral("其他"));
    // Shared texts stay as they are.
    EXPECT_EQ(w->btn_C0DF()->text(), "0xC0 ~ 0xDF");
    EXPECT_EQ(w->rg_brightness->Items().front(), "25%");
    EXPECT_EQ(w->windowTitle(), QStringLiteral("VYL Setup v" VYL_TEST_VERSION));
}

TEST(WindowStartup, LabelsFitTheirCaptionsInBothLanguages) {
    for (std::uint16_t langID : {std::uint16_t{0x0409}, std::uint16_t{0x0804}}) {
        SCOPED_TRACE(langID);
        auto w = NewWindow(langID);
        ShowEveryPage(*w);
        const auto labels = w->findChildren<TLabel*>();
        ASSERT_EQ(labels.size(), 15);
        for (const TLabel* label : labels) {
            SCOPED_TRACE(label->objectName().toStdString());
            EXPECT_GE(label->width(), label->sizeHint().width());
            EXPECT_GE(label->x(), 0);
            EXPECT_LE(label->x() + label->width(), label->parentWidget()->width());
        }
        // Right-aligned labels end where the layout put their right edge, before their control.
        EXPECT_EQ(w->lab_SerialPort->geometry().right() + 1, 44 + 78);
        EXPECT_LT(w->lab_SerialPort->geometry().right(), w->cbb_SerialPort->x());
        EXPECT_EQ(w->lab_commandmode->geometry().right() + 1, 24 + 107);
        EXPECT_EQ(w->lab_Line1->geometry().right() + 1, 88 + 43);
        EXPECT_LT(w->lab_Column()->geometry().right(), w->edt_Column()->x());
        // Left-aligned labels keep their left edge.
        EXPECT_EQ(w->lbl_codepage_hint_welmsg->pos(), QPoint(313, 26));
        EXPECT_LT(w->lbl_codepage_hint_welmsg->geometry().right(), w->btn_welText_center->x());
        EXPECT_LT(w->lbl_codepage_hint_test()->geometry().right(), w->btn_ClearDisplay()->x());
        // A count of two digits is not cut either.
        w->edt_line1->setText("abcdefghijk");
        EXPECT_GE(w->lbl_mess1_count->width(), w->lbl_mess1_count->sizeHint().width());
        EXPECT_EQ(w->lbl_mess1_count->pos(), QPoint(648, 56));
        for (const QCheckBox* box : w->findChildren<QCheckBox*>())
            EXPECT_GE(box->width(), box->sizeHint().width()) << box->objectName().toStdString();
    }
}

TEST(WindowStartup, FixedWindowAndLayout) {
    auto w = NewWindow();
    EXPECT_EQ(w->minimumSize(), QSize(829, 664));
    EXPECT_EQ(w->maximumSize(), QSize(829, 664));
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(w->font().pixelSize(), 14);
    EXPECT_EQ(w->font().family(), "Arial");
    EXPECT_EQ(w->PageControl1->geometry(), QRect(18, 79, 793, 517));
    EXPECT_EQ(w->grp_WelcomeMessage->geometry(), QRect(40, 143, 713, 277));
    EXPECT_EQ(w->edt_line2->parentWidget(), w->grp_WelcomeMessage);
    EXPECT_EQ(w->edt_line2->geometry(), QRect(137, 138, 505, 24));
    EXPECT_EQ(w->btn_Exit->geometry(), QRect(725, 602, 82, 32));
    EXPECT_EQ(w->btn_Exit->font().pixelSize(), 15);
    EXPECT_EQ(w->StatusBar1->geometry(), QRect(0, 640, 829, 24));
    EXPECT_EQ(w->StatusBar1->Panel(0)->width(), 200);
    EXPECT_EQ(w->StatusBar1->Panel(2)->width(), 200);
    EXPECT_FALSE(w->cbb_SerialPort->isEditable());
    EXPECT_FALSE(w->cbb_CodePage_Msg->isEditable());

    // Opened in the centre of the screen.
    const QPoint centre = w->screen()->availableGeometry().center();
    EXPECT_LE((w->frameGeometry().center() - centre).manhattanLength(), 2);

    w->show();
    w->btn_Exit->click();
    EXPECT_FALSE(w->isVisible());

    // Every control named in the layout is found by its name, once each page has been shown.
    ShowEveryPage(*w);
    for (const char* name : {"grp_Settings",
                             "lab_SerialPort",
                             "cbb_SerialPort",
                             "btn_enumComPorts",
                             "lab_BaudRate",
                             "cbb_BaudRate",
                             "PageControl1",
                             "tsBasicSet",
                             "tsCodepageSet",
                             "tsDisplayTest",
                             "grp_commandSet",
                             "lab_commandmode",
                             "cbb_CommandMode_Set",
                             "btn_commandSet",
                             "grp_baudrateSet",
                             "lab_Set_BaudRate",
                             "cbb_BaudRate_Set",
                             "btn_baudrateSet",
                             "grp_WelcomeMessage",
                             "lbl_codepage_welmsg",
                             "cbb_CodePage_Msg",
                             "lbl_codepage_hint_welmsg",
                             "btn_welText_center",
                             "lab_Line1",
                             "edt_line1",
                             "lbl_mess1_count",
                             "chk_Scroll1",
                             "mmo_line1_hex",
                             "lab_Line2",
                             "edt_line2",
                             "lbl_mess2_count",
                             "chk_Scroll2",
                             "mmo_line2_hex",
                             "btn_DownloadSetting",
                             "rg_brightness",
                             "btn_brightness_set",
                             "rg_InterChar_Set",
                             "rg_CodePage_Set",
                             "btn_DownloadCodePage",
                             "grp_TestText",
                             "lbl_codeage_test",
                             "cbb_codepage_Test",
                             "lbl_codepage_hint_test",
                             "btn_ClearDisplay",
                             "lab_TestContent",
                             "edt_Text",
                             "btn_textText_center",
                             "chk_PositionAt",
                             "lab_Row",
                             "edt_Row",
                             "ud_Row",
                             "lab_Column",
                             "edt_Column",
                             "ud_Column",
                             "btn_TextSend",
                             "grp_Test_InterChar",
                             "btn_203F",
                             "btn_405F",
                             "btn_607F",
                             "grp_Test_CodePage",
                             "btn_809F",
                             "btn_A0BF",
                             "btn_C0DF",
                             "btn_E0FF",
                             "btn_Default",
                             "btn_loadsettings",
                             "btn_savesettings",
                             "btn_GetSetting",
                             "btn_RestartDisplay",
                             "btn_Exit",
                             "StatusBar1"}) {
        EXPECT_NE(w->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    }
}

TEST(WindowStartup, RadioGroupsFillColumnsTopToBottom) {
    auto w = NewWindow();
    // 20 sets in 5 columns: 4 per column.
    const QRadioButton* usa = w->rg_InterChar_Set()->Button(0);
    const QRadioButton* france = w->rg_InterChar_Set()->Button(1);
    const QRadioButton* denmark = w->rg_InterChar_Set()->Button(4);
    EXPECT_EQ(france->x(), usa->x());
    EXPECT_GT(france->y(), usa->y());
    EXPECT_GT(denmark->x(), usa->x());
    EXPECT_EQ(denmark->y(), usa->y());
    // 34 code pages in 5 columns: 7 per column. (That every button lies inside its group's
    // frame is WindowControls.NoControlCrossesAGroupFrame's.)
    EXPECT_EQ(w->rg_CodePage_Set()->Button(7)->y(), w->rg_CodePage_Set()->Button(0)->y());
    // Brightness: 4 items in 6 columns, one row, left of the button placed over the group.
    const QRadioButton* full = w->rg_brightness->Button(3);
    EXPECT_EQ(full->y(), w->rg_brightness->Button(0)->y());
    EXPECT_LT(w->rg_brightness->x() + full->geometry().right(), w->btn_brightness_set->x());
}

TEST(WindowStartup, TypingLimitsAndUpDownRanges) {
    auto w = NewWindow();
    w->show();
    for (auto [edit, limit] :
         {std::pair{w->edt_line1, 20}, {w->edt_line2, 60}, {w->edt_Text(), 20}}) {
        SCOPED_TRACE(edit->objectName().toStdString());
        edit->clear();
        QTest::keyClicks(edit, QString(limit + 7, QLatin1Char('x')));
        EXPECT_EQ(edit->text().size(), limit);
    }
    EXPECT_EQ(w->lbl_mess2_count->text(), "60");

    // Text set by the program is not cut; typing can shorten it, not lengthen it.
    SystemInfo.wel_mess1 = u"0123456789012345678901234";
    w->RefreshSettings();
    EXPECT_EQ(w->edt_line1->text().size(), 25);
    EXPECT_EQ(w->lbl_mess1_count->text(), "25");
    w->edt_line1->setFocus();
    w->edt_line1->end(false);
    QTest::keyClick(w->edt_line1, Qt::Key_Backspace);
    QTest::keyClicks(w->edt_line1, "yy");
    EXPECT_EQ(w->edt_line1->text().size(), 24);
    w->edt_line1->clear();
    QTest::keyClicks(w->edt_line1, QString(30, QLatin1Char('z')));
    EXPECT_EQ(w->edt_line1->text().size(), 20);

    for (int i = 0; i < 4; ++i)
        w->ud_Row()->UpButton()->click();
    EXPECT_EQ(w->ud_Row()->Position(), 2);
    EXPECT_EQ(w->edt_Row()->text(), "2");
    for (int i = 0; i < 4; ++i)
        w->ud_Row()->DownButton()->click();
    EXPECT_EQ(w->ud_Row()->Position(), 1);
    EXPECT_EQ(w->edt_Row()->text(), "1");
    for (int i = 0; i < 25; ++i)
        w->ud_Column()->UpButton()->click();
    EXPECT_EQ(w->ud_Column()->Position(), 20);
    EXPECT_EQ(w->edt_Column()->text(), "20");
    EXPECT_EQ(w->ud_Column()->Min(), 1);
    EXPECT_EQ(w->ud_Row()->Max(), 2);

    // A number typed out of range counts as the nearest end; other text keeps the position.
    w->edt_Column()->setText("7");
    EXPECT_EQ(w->ud_Column()->Position(), 7);
    w->edt_Column()->setText("99");
    EXPECT_EQ(w->ud_Column()->Position(), 20);
    w->edt_Column()->setText("x");
    EXPECT_EQ(w->ud_Column()->Position(), 20);
    w->edt_Column()->setFocus();
    emit w->edt_Column()->editingFinished();
    EXPECT_EQ(w->edt_Column()->text(), "20");
}

namespace {

// The controls Tab reaches, in its order, from the window on.
QStringList TabOrder(const TfrmVylSetup& window) {
    QStringList names;
    for (const QWidget* w = window.nextInFocusChain(); w != &window; w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus)
            names << w->objectName();
    return names;
}

} // namespace

TEST(WindowStartup, PagesMadeOnFirstShowShowWhatTheyWouldHaveShownFromTheStart) {
    struct TCase {
        const char* Name;
        std::function<void(TfrmVylSetup&)> Change;
    };
    const auto read = [](int charset, int codePage) {
        return [charset, codePage](TfrmVylSetup& w) {
            SystemInfo.Char_No = charset;
            SystemInfo.Expand_Char_No = codePage;
            w.RefreshSettings();
        };
    };
    const std::vector<TCase> cases = {
        {"as started", [](TfrmVylSetup&) {}},
        {"settings read", read(12, 17)},
        {"codes without a row", read(19, 20)},
        {"welcome code page chosen", [](TfrmVylSetup& w) { ChooseInCombo(w.cbb_CodePage_Msg, 5); }},
        {"read, then the defaults",
         [&](TfrmVylSetup& w) {
             read(12, 17)(w);
             w.btn_Default->click();
         }},
    };
    for (std::uint16_t langID : {std::uint16_t{0x0409}, std::uint16_t{0x0804}}) {
        for (const TCase& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + (langID == 0x0804 ? ", Chinese" : ""));
            auto early = NewWindow(langID);
            ShowEveryPage(*early);
            auto late = NewWindow(langID);
            c.Change(*early);
            c.Change(*late);
            // What the actions send is the same before the pages are made ...
            TSystemInfo fromEarly;
            TSystemInfo fromLate;
            early->CaptureControls(fromEarly);
            late->CaptureControls(fromLate);
            EXPECT_EQ(fromLate.Char_No, fromEarly.Char_No);
            EXPECT_EQ(fromLate.Expand_Char_No, fromEarly.Expand_Char_No);
            // ... and what they show once made.
            ShowEveryPage(*late);
            EXPECT_EQ(late->rg_InterChar_Set()->Items(), early->rg_InterChar_Set()->Items());
            EXPECT_EQ(late->rg_InterChar_Set()->ItemIndex(),
                      early->rg_InterChar_Set()->ItemIndex());
            EXPECT_EQ(late->rg_CodePage_Set()->ItemIndex(), early->rg_CodePage_Set()->ItemIndex());
            EXPECT_EQ(ComboItems(late->cbb_codepage_Test()),
                      ComboItems(early->cbb_codepage_Test()));
            EXPECT_EQ(late->cbb_codepage_Test()->currentIndex(),
                      early->cbb_codepage_Test()->currentIndex());
            EXPECT_EQ(late->rg_CodePage_Set()->title(), early->rg_CodePage_Set()->title());
            EXPECT_EQ(late->chk_PositionAt()->text(), early->chk_PositionAt()->text());
            EXPECT_EQ(late->lab_Column()->geometry(), early->lab_Column()->geometry());
            EXPECT_EQ(late->pic_Test()->LineText(0), early->pic_Test()->LineText(0));
            EXPECT_EQ(late->pic_Test()->toolTip(), early->pic_Test()->toolTip());
            EXPECT_EQ(late->btn_E0FF()->property("Tag"), early->btn_E0FF()->property("Tag"));
            // Tab takes a page's controls before the buttons at the foot of the window.
            const QStringList order = TabOrder(*late);
            EXPECT_EQ(order, TabOrder(*early));
            for (const QWidget* control :
                 {static_cast<QWidget*>(late->rg_CodePage_Set()->Button(0)),
                  static_cast<QWidget*>(late->btn_DownloadCodePage()),
                  static_cast<QWidget*>(late->edt_Text()), static_cast<QWidget*>(late->btn_E0FF())})
                EXPECT_LT(order.indexOf(control->objectName()), order.indexOf("btn_Default"))
                    << control->objectName().toStdString();
        }
    }
}
