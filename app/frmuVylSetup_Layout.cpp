// SPDX-License-Identifier: Apache-2.0
// Every control of the main window at its place, with its layout caption, limits and defaults.
// Positions are left, top, width, height within the parent (the window, a page or a group).

#include "frmuVylSetup.h"

#include "untListNames.h"

#include "untSettingsValues.h"

#include <QApplication>
#include <QFont>

namespace {

QFont ArialPx(int pixels) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    return font;
}

// The window's own font.
QFont WindowFont() {
    return ArialPx(14);
}

// While controls are made, the application font is the window's own. A QLineEdit measures its
// empty text in the application font as it is made, before it takes its widget's font: with
// the system's font there, the start loaded a whole font that the window never shows. The
// system's font comes back as soon as the controls exist, for the boxes, tooltips and dialogs
// that use it; the widgets made meanwhile all have the window's font from their parents.
class TWindowFontWhileMaking {
public:
    TWindowFontWhileMaking() : applicationFont_(QApplication::font()) {
        QApplication::setFont(WindowFont());
    }
    ~TWindowFontWhileMaking() { QApplication::setFont(applicationFont_); }
    TWindowFontWhileMaking(const TWindowFontWhileMaking&) = delete;
    TWindowFontWhileMaking& operator=(const TWindowFontWhileMaking&) = delete;

private:
    const QFont applicationFont_;
};

template <typename T>
T* Place(T* control, const char* name, int left, int top, int width, int height) {
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(left, top, width, height);
    return control;
}

QGroupBox* Group(QWidget* parent, const char* name, int l, int t, int w, int h,
                 const char* caption) {
    auto* group = Place(new TGroupBox(parent), name, l, t, w, h);
    group->setTitle(QString::fromLatin1(caption));
    return group;
}

TLabel* Label(QWidget* parent, const char* name, int l, int t, int w, int h, const char* caption,
              bool rightAligned) {
    auto* label = new TLabel(parent, l, t, w, h, rightAligned);
    label->setObjectName(QString::fromLatin1(name));
    label->setText(QString::fromLatin1(caption));
    return label;
}

QPushButton* Button(QWidget* parent, const char* name, int l, int t, int w, int h,
                    const char* caption) {
    auto* button = Place(new QPushButton(parent), name, l, t, w, h);
    button->setText(QString::fromLatin1(caption));
    button->setAutoDefault(false);
    return button;
}

template <typename T = QComboBox>
T* DropDown(QWidget* parent, const char* name, int l, int t, int w, int h) {
    auto* list = Place(new T(parent), name, l, t, w, h);
    list->setEditable(false);
    list->setMaxVisibleItems(16);
    return list;
}

TEdit* Edit(QWidget* parent, const char* name, int l, int t, int w, int h) {
    return Place(new TEdit(parent), name, l, t, w, h);
}

QCheckBox* Check(QWidget* parent, const char* name, int l, int t, int w, int h, const char* caption,
                 bool checked) {
    auto* box = Place(new QCheckBox(parent), name, l, t, w, h);
    box->setText(QString::fromLatin1(caption));
    box->setChecked(checked);
    return box;
}

QPlainTextEdit* Memo(QWidget* parent, const char* name, int l, int t, int w, int h) {
    auto* memo = Place(new QPlainTextEdit(parent), name, l, t, w, h);
    memo->setTabChangesFocus(true);
    return memo;
}

TRadioGroup* RadioGroup(QWidget* parent, const char* name, int l, int t, int w, int h, int columns,
                        const char* caption) {
    auto* group = new TRadioGroup(parent, columns);
    Place(group, name, l, t, w, h);
    group->setTitle(QString::fromLatin1(caption));
    return group;
}

QWidget* Page(QTabWidget* pages, const char* name, const char* caption) {
    auto* page = new QWidget();
    page->setObjectName(QString::fromLatin1(name));
    pages->addTab(page, QString::fromLatin1(caption));
    return page;
}

} // namespace

void TfrmVylSetup::CreateControls() {
    setObjectName(QStringLiteral("frmVylSetup"));
    setFont(WindowFont());
    const TWindowFontWhileMaking windowFont;

    // ---- top of the window
    grp_Settings = Group(this, "grp_Settings", 18, 16, 792, 57, "");
    lab_SerialPort = Label(grp_Settings, "lab_SerialPort", 44, 24, 78, 16, "Serial Port:", true);
    cbb_SerialPort = DropDown<TWideListComboBox>(grp_Settings, "cbb_SerialPort", 128, 21, 109, 24);
    btn_enumComPorts = Button(grp_Settings, "btn_enumComPorts", 243, 21, 75, 25, "Refresh");
    lab_BaudRate = Label(grp_Settings, "lab_BaudRate", 343, 24, 78, 17, "Baud Rate:", true);
    cbb_BaudRate = DropDown(grp_Settings, "cbb_BaudRate", 427, 21, 93, 24);
    btn_FindDisplay = Button(grp_Settings, "btn_FindDisplay", 545, 21, 125, 25, "Find Display");

    PageControl1 = Place(new TPageControl(this), "PageControl1", 18, 79, 793, 517);
    tsBasicSet = Page(PageControl1, "tsBasicSet", "Basic Setting");
    tsCodepageSet = Page(PageControl1, "tsCodepageSet", "CodePage Setting");
    tsDisplayTest = Page(PageControl1, "tsDisplayTest", "Display Testing");

    // ---- page tsBasicSet
    grp_commandSet = Group(tsBasicSet, "grp_commandSet", 40, 3, 713, 62, "Command Set");
    lab_commandmode =
        Label(grp_commandSet, "lab_commandmode", 24, 28, 107, 16, "Command Mode:", true);
    cbb_CommandMode_Set = DropDown(grp_commandSet, "cbb_CommandMode_Set", 137, 25, 170, 24);
    btn_commandSet = Button(grp_commandSet, "btn_commandSet", 517, 21, 125, 32, "Setting");

    grp_baudrateSet = Group(tsBasicSet, "grp_baudrateSet", 40, 71, 713, 66, "Baudrate Set");
    lab_Set_BaudRate =
        Label(grp_baudrateSet, "lab_Set_BaudRate", 60, 28, 71, 16, "Baud Rate:", true);
    cbb_BaudRate_Set = DropDown(grp_baudrateSet, "cbb_BaudRate_Set", 137, 25, 170, 24);
    btn_baudrateSet = Button(grp_baudrateSet, "btn_baudrateSet", 517, 21, 125, 32, "Setting");

    grp_WelcomeMessage =
        Group(tsBasicSet, "grp_WelcomeMessage", 40, 143, 713, 277, "Welcome Message");
    QWidget* wel = grp_WelcomeMessage;
    lbl_codepage_welmsg = Label(wel, "lbl_codepage_welmsg", 56, 30, 75, 16, "Code Page:", true);
    cbb_CodePage_Msg = DropDown(wel, "cbb_CodePage_Msg", 137, 22, 170, 24);
    lbl_codepage_hint_welmsg =
        Label(wel, "lbl_codepage_hint_welmsg", 313, 26, 93, 17, "(Internal code)", false);
    lbl_codepage_hint_welmsg->setFont(ArialPx(15));
    btn_welText_center = Button(wel, "btn_welText_center", 581, 18, 60, 25, "Center");
    lab_Line1 = Label(wel, "lab_Line1", 88, 55, 43, 16, "Line 1:", true);
    edt_line1 = Edit(wel, "edt_line1", 137, 52, 505, 24);
    edt_line1->SetTypingLimit(WelcomeLine1Limit);
    lbl_mess1_count = Label(wel, "lbl_mess1_count", 648, 56, 7, 16, "0", false);
    chk_Scroll1 = Check(wel, "chk_Scroll1", 76, 83, 59, 19, "Scroll", true);
    mmo_line1_hex = Memo(wel, "mmo_line1_hex", 137, 83, 505, 45);
    lab_Line2 = Label(wel, "lab_Line2", 88, 141, 43, 16, "Line 2:", true);
    edt_line2 = Edit(wel, "edt_line2", 137, 138, 505, 24);
    lbl_mess2_count = Label(wel, "lbl_mess2_count", 648, 142, 7, 16, "0", false);
    chk_Scroll2 = Check(wel, "chk_Scroll2", 75, 169, 60, 19, "Scroll", true);
    mmo_line2_hex = Memo(wel, "mmo_line2_hex", 137, 168, 505, 58);
    btn_DownloadSetting = Button(wel, "btn_DownloadSetting", 517, 232, 125, 32, "Setting");
    for (TLabel* count : {lbl_mess1_count, lbl_mess2_count}) {
        count->setFont(ArialPx(13));
        QPalette palette = count->palette();
        palette.setColor(QPalette::WindowText, Qt::red);
        count->setPalette(palette);
    }

    rg_brightness =
        RadioGroup(tsBasicSet, "rg_brightness", 40, 426, 713, 57, 6, "Brightness adjustment");
    rg_brightness->SetItems(ListItems(TSettingList::Brightness));
    rg_brightness->SetItemIndex(2);
    // Placed on the page over the right part of the group, so created after it.
    btn_brightness_set = Button(tsBasicSet, "btn_brightness_set", 557, 441, 125, 30, "Setting");

    // ---- bottom of the window
    btn_Default = Button(this, "btn_Default", 18, 602, 105, 32, "Default Setting");
    btn_loadsettings = Button(this, "btn_loadsettings", 129, 602, 95, 32, "Load Setting");
    btn_savesettings = Button(this, "btn_savesettings", 230, 602, 95, 32, "Save Setting");
    btn_GetSetting = Button(this, "btn_GetSetting", 513, 602, 95, 32, "Get Setting");
    btn_RestartDisplay = Button(this, "btn_RestartDisplay", 614, 602, 105, 32, "Restart Display");
    btn_Exit = Button(this, "btn_Exit", 725, 602, 82, 32, "Exit");
    btn_Exit->setFont(ArialPx(15));

    StatusBar1 = new TStatusBar(this, {200, 200, 200, 0});
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setGeometry(0, 664 - 24, 829, 24);
}

void TfrmVylSetup::LayOutCodePagePage(TCodePageControls& page) {
    const TWindowFontWhileMaking windowFont;
    page.rg_InterChar_Set =
        RadioGroup(tsCodepageSet, "rg_InterChar_Set", 34, 18, 727, 159, 5, "InterChar");
    page.rg_CodePage_Set =
        RadioGroup(tsCodepageSet, "rg_CodePage_Set", 34, 183, 727, 234, 5, "CodePage");
    page.btn_DownloadCodePage =
        Button(tsCodepageSet, "btn_DownloadCodePage", 623, 423, 138, 34, "Setting");
}

void TfrmVylSetup::LayOutTestPage(TTestPageControls& page) {
    const TWindowFontWhileMaking windowFont;
    page.grp_TestText = Group(tsDisplayTest, "grp_TestText", 18, 19, 751, 182, "Test Text");
    QWidget* test = page.grp_TestText;
    page.lbl_codeage_test = Label(test, "lbl_codeage_test", 38, 58, 75, 16, "Code Page:", true);
    page.cbb_codepage_Test = DropDown(test, "cbb_codepage_Test", 119, 54, 170, 24);
    page.lbl_codepage_hint_test =
        Label(test, "lbl_codepage_hint_test", 295, 57, 82, 16, "(Internal code)", false);
    page.lbl_codepage_hint_test->setFont(ArialPx(13));
    page.btn_ClearDisplay = Button(test, "btn_ClearDisplay", 542, 52, 155, 28, "Clear Display");
    page.lab_TestContent = Label(test, "lab_TestContent", 84, 101, 29, 16, "Text:", true);
    page.edt_Text = Edit(test, "edt_Text", 119, 98, 315, 24);
    page.edt_Text->SetTypingLimit(20);
    page.edt_Text->SetText(QStringLiteral("1234567890ABCDEFGHIJ"));
    page.btn_textText_center = Button(test, "btn_textText_center", 436, 98, 60, 25, "Center");
    page.chk_PositionAt = Check(test, "chk_PositionAt", 119, 131, 114, 20, "Position at", false);
    page.lab_Row = Label(test, "lab_Row", 246, 132, 31, 16, "Row:", true);
    page.edt_Row = Edit(test, "edt_Row", 280, 129, 29, 24);
    page.ud_Row = Place(new TUpDown(test, page.edt_Row, 1, 2, 1), "ud_Row", 309, 129, 16, 24);
    page.lab_Column = Label(test, "lab_Column", 333, 132, 52, 16, "Column:", true);
    page.edt_Column = Edit(test, "edt_Column", 387, 129, 29, 24);
    page.ud_Column =
        Place(new TUpDown(test, page.edt_Column, 1, 20, 1), "ud_Column", 416, 129, 18, 24);
    page.btn_TextSend = Button(test, "btn_TextSend", 542, 119, 155, 29, "Display Text");

    page.grp_Test_InterChar =
        Group(tsDisplayTest, "grp_Test_InterChar", 18, 207, 359, 233, "ASCII");
    page.btn_203F = Button(page.grp_Test_InterChar, "btn_203F", 75, 53, 202, 28, "0x20 ~ 0x3F");
    page.btn_405F = Button(page.grp_Test_InterChar, "btn_405F", 75, 103, 202, 29, "0x40 ~ 0x5F");
    page.btn_607F = Button(page.grp_Test_InterChar, "btn_607F", 75, 154, 202, 29, "0x60 ~ 0x7F");
    page.grp_Test_CodePage =
        Group(tsDisplayTest, "grp_Test_CodePage", 405, 207, 364, 233, "Extended ASCII");
    page.btn_809F = Button(page.grp_Test_CodePage, "btn_809F", 82, 30, 203, 28, "0x80 ~ 0x9F");
    page.btn_A0BF = Button(page.grp_Test_CodePage, "btn_A0BF", 82, 80, 203, 29, "0xA0 ~ 0xBF");
    page.btn_C0DF = Button(page.grp_Test_CodePage, "btn_C0DF", 82, 131, 203, 29, "0xC0 ~ 0xDF");
    page.btn_E0FF = Button(page.grp_Test_CodePage, "btn_E0FF", 82, 182, 203, 29, " 0xE0 ~ 0xFF");
    // The layout's own tags; making the page replaces them (actButtonCreat).
    for (QPushButton* range :
         {page.btn_203F, page.btn_405F, page.btn_607F, page.btn_809F, page.btn_E0FF})
        range->setProperty("Tag", 0);
    page.btn_A0BF->setProperty("Tag", 10);
    page.btn_C0DF->setProperty("Tag", 20);
}
