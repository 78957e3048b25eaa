// Settings between the controls and SystemInfo, the default settings, the code page selectors
// kept in step, and the editing aids of the welcome lines and the test text.

#include "frmuVylSetup.h"

#include "untBaudRate.h"
#include "untCodePage.h"
#include "untCodePageText.h"
#include "untCommandMode.h"
#include "untHex.h"
#include "untInterChar.h"
#include "untLanguage.h"
#include "untMessageBox.h"
#include "untSystemInfo.h"
#include "untTextPad.h"
#include "untUtf16.h"

#include <cstdint>

namespace {

// A list without a selection gives -1, kept as its low 8 bits (255).
std::uint8_t Low8(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

} // namespace

void TfrmVylSetup::SystemInfoChange() {
    CaptureControls(SystemInfo);
}

void TfrmVylSetup::CaptureControls(TSystemInfo& target) const {
    target.temp1 = 0;
    target.Baud_Rate = Low8(NoAtIndex(BaudRateTable, cbb_BaudRate_Set->currentIndex()));
    std::uint8_t flags = target.temp2;
    SetBit(flags, 1, !chk_Scroll1->isChecked());
    SetBit(flags, 2, !chk_Scroll2->isChecked());
    SetBit(flags, 3, true);
    SetBit(flags, 4, false);
    target.temp2 = flags;
    target.Char_No = Low8(NoAtIndex(InterCharTable, rg_InterChar_Set->ItemIndex()));
    target.Expand_Char_No = Low8(NoAtIndex(CodePageTable, rg_CodePage_Set->ItemIndex()));
    target.Comm_No = Low8(NoAtIndex(CommandModeTable, cbb_CommandMode_Set->currentIndex()));
    target.wel_mess1 = edt_line1->text().toStdU16String();
    target.wel_mess2 = edt_line2->text().toStdU16String();
    target.wel_mess1_hex = mmo_line1_hex->toPlainText().toStdString();
    target.wel_mess2_hex = mmo_line2_hex->toPlainText().toStdString();
    target.back_light = Low8(rg_brightness->ItemIndex() + 1);
}

void TfrmVylSetup::RefreshSettings() {
    // Status bar.
    StatusBar1->SetPanelText(0, ModelLabel + QLatin1Char(' ') +
                                    QString::fromStdString(SystemInfo.product_name));
    StatusBar1->SetPanelText(1, FirmwareVersionLabel + QLatin1Char(' ') +
                                    QString::number(SystemInfo.firmware_version));
    StatusBar1->SetPanelText(2, SystemInfo.jpos ? QStringLiteral("JavaPOS") : QString());
    // Display speed.
    cbb_BaudRate_Set->setCurrentIndex(IndexOfNo(BaudRateTable, SystemInfo.Baud_Rate));
    // Scrolling.
    chk_Scroll1->setChecked(GetBit(SystemInfo.temp2, 1) == 0);
    chk_Scroll2->setChecked(GetBit(SystemInfo.temp2, 2) == 0);
    // Character set.
    rg_InterChar_Set->SetItemIndex(IndexOfNo(InterCharTable, SystemInfo.Char_No));
    // Code page, the same row in all three selectors.
    SelectCodePageIndex(IndexOfNo(CodePageTable, SystemInfo.Expand_Char_No), true, true, true);
    // Command mode.
    cbb_CommandMode_Set->setCurrentIndex(IndexOfNo(CommandModeTable, SystemInfo.Comm_No));
    // Welcome lines; their change handlers update the counts and views.
    edt_line1->SetText(QString::fromStdU16String(SystemInfo.wel_mess1));
    edt_line2->SetText(QString::fromStdU16String(SystemInfo.wel_mess2));
    // Hex views: the stored bytes when there are any, else the lines' conversion.
    const int codePage = CodePageAtIndex(cbb_CodePage_Msg->currentIndex());
    const auto view = [codePage](const std::string& hex, const std::u16string& line) {
        if (!hex.empty())
            return QString::fromStdString(hex);
        return QString::fromStdString(BytesToSpacedHex(TextToCodePageBytes(line, codePage)));
    };
    mmo_line1_hex->setPlainText(view(SystemInfo.wel_mess1_hex, SystemInfo.wel_mess1));
    mmo_line2_hex->setPlainText(view(SystemInfo.wel_mess2_hex, SystemInfo.wel_mess2));
    // Brightness.
    rg_brightness->SetItemIndex(static_cast<int>(SystemInfo.back_light) - 1);
}

void TfrmVylSetup::DefaultSetting() {
    const TParseResult result = ParseSettingsJson(Utf8ToUtf16(GetDefaultSettingsJson()));
    if (result.Success)
        RefreshSettings();
    else
        ShowMessageBox(QString::fromStdString(result.Error), TMsgStyle::Error);
    StatusBar1->SetPanelText(2, QString());
}

void TfrmVylSetup::btn_DefaultClick() {
    DefaultSetting();
}

void TfrmVylSetup::SelectCodePageIndex(int index, bool radioGroup, bool msgList, bool testList) {
    if (radioGroup)
        rg_CodePage_Set->SetItemIndex(index);
    if (msgList)
        cbb_CodePage_Msg->setCurrentIndex(index);
    if (testList)
        cbb_codepage_Test->setCurrentIndex(index);
}

void TfrmVylSetup::rg_CodePage_SetClick() {
    SelectCodePageIndex(rg_CodePage_Set->ItemIndex(), false, true, true);
}

void TfrmVylSetup::cbb_codepage_TestChange() {
    SelectCodePageIndex(cbb_codepage_Test->currentIndex(), true, true, false);
}

void TfrmVylSetup::cbb_CodePage_MsgChange() {
    SelectCodePageIndex(cbb_CodePage_Msg->currentIndex(), true, false, true);
    // Only the welcome code page recomputes the views; the counts stay.
    const int codePage = CodePageAtIndex(cbb_CodePage_Msg->currentIndex());
    for (auto [edit, view] : {std::pair{edt_line1, mmo_line1_hex}, {edt_line2, mmo_line2_hex}}) {
        const std::u16string text = edit->text().toStdU16String();
        view->setPlainText(
            QString::fromStdString(BytesToSpacedHex(TextToCodePageBytes(text, codePage))));
    }
}

void TfrmVylSetup::rg_InterChar_SetClick() {
    const int charSet = rg_InterChar_Set->ItemIndex();
    int index = -1;
    if (charSet >= 0 && charSet < static_cast<int>(InterCharTable.size()))
        index = IndexOfNo(CodePageTable,
                          InterCharTable[static_cast<std::size_t>(charSet)].CodePageNo_bind);
    SelectCodePageIndex(index, true, true, true);
}

void TfrmVylSetup::ShowLineCountAndHex(TEdit* edit, TLabel* count, QPlainTextEdit* hexView) {
    const QString text = edit->text();
    count->setText(QString::number(text.size()));
    const int codePage = CodePageAtIndex(cbb_CodePage_Msg->currentIndex());
    hexView->setPlainText(QString::fromStdString(
        BytesToSpacedHex(TextToCodePageBytes(text.toStdU16String(), codePage))));
}

void TfrmVylSetup::edt_line1Change() {
    ShowLineCountAndHex(edt_line1, lbl_mess1_count, mmo_line1_hex);
}

void TfrmVylSetup::edt_line2Change() {
    ShowLineCountAndHex(edt_line2, lbl_mess2_count, mmo_line2_hex);
}

void TfrmVylSetup::btn_welText_centerClick() {
    edt_line1->SetText(
        QString::fromStdU16String(CenterText(edt_line1->text().toStdU16String(), 20)));
    edt_line2->SetText(
        QString::fromStdU16String(CenterText(edt_line2->text().toStdU16String(), 60)));
}

void TfrmVylSetup::btn_textText_centerClick() {
    edt_Text->SetText(QString::fromStdU16String(CenterText(edt_Text->text().toStdU16String(), 20)));
}
