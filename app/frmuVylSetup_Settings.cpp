// SPDX-License-Identifier: Apache-2.0
// Settings between the controls and SystemInfo, the default settings, the code page selectors
// kept in step, and the editing aids of the welcome lines and the test text.

#include "frmuVylSetup.h"

#include "untLanguage.h"
#include "untMessageBox.h"
#include "untSettingsValues.h"
#include "untSystemInfo.h"
#include "untTextPad.h"
#include "untUtf16.h"

void TfrmVylSetup::SystemInfoChange() {
    CaptureControls(SystemInfo);
}

void TfrmVylSetup::CaptureControls(TSystemInfo& target) const {
    TSettingsValues values;
    values.BaudRate = cbb_BaudRate_Set->currentIndex();
    values.Scroll1 = chk_Scroll1->isChecked();
    values.Scroll2 = chk_Scroll2->isChecked();
    // A page not made yet holds what it would show when made.
    values.InterChar =
        codePagePage_ ? codePagePage_->rg_InterChar_Set->ItemIndex() : interCharIndex_;
    values.CodePage = codePagePage_ ? codePagePage_->rg_CodePage_Set->ItemIndex()
                                    : cbb_CodePage_Msg->currentIndex();
    values.CommandMode = cbb_CommandMode_Set->currentIndex();
    values.Line1 = edt_line1->text().toStdU16String();
    values.Line2 = edt_line2->text().toStdU16String();
    values.Line1Hex = mmo_line1_hex->toPlainText().toStdString();
    values.Line2Hex = mmo_line2_hex->toPlainText().toStdString();
    values.Brightness = rg_brightness->ItemIndex();
    StoreSettingsValues(values, target);
}

void TfrmVylSetup::RefreshSettings() {
    const TSettingsValues values = SettingsValuesOf(SystemInfo);
    // Status bar.
    StatusBar1->SetPanelText(0, ModelLabel() + QLatin1Char(' ') +
                                    QString::fromStdString(SystemInfo.product_name));
    StatusBar1->SetPanelText(1, FirmwareVersionLabel() + QLatin1Char(' ') +
                                    QString::number(SystemInfo.firmware_version));
    StatusBar1->SetPanelText(2, SystemInfo.jpos ? QStringLiteral("JavaPOS") : QString());
    cbb_BaudRate_Set->setCurrentIndex(values.BaudRate);
    chk_Scroll1->setChecked(values.Scroll1);
    chk_Scroll2->setChecked(values.Scroll2);
    interCharIndex_ = values.InterChar;
    if (codePagePage_)
        codePagePage_->rg_InterChar_Set->SetItemIndex(values.InterChar);
    SelectCodePageIndex(values.CodePage, true, true, true);
    cbb_CommandMode_Set->setCurrentIndex(values.CommandMode);
    // Welcome lines; their change handlers update the counts and views, which the stored bytes
    // then replace where they differ (laying out a view's text again costs as much as the first
    // time, and the stored bytes are mostly what the handler just put there).
    edt_line1->SetText(QString::fromStdU16String(values.Line1));
    edt_line2->SetText(QString::fromStdU16String(values.Line2));
    for (auto [view, bytes] :
         {std::pair{mmo_line1_hex, &values.Line1Hex}, std::pair{mmo_line2_hex, &values.Line2Hex}}) {
        const QString hex = QString::fromStdString(*bytes);
        if (view->toPlainText() != hex)
            view->setPlainText(hex);
    }
    rg_brightness->SetItemIndex(values.Brightness);
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
    // Held off like the device buttons: an action's end would write its record over it.
    if (DeviceActionIdle())
        DefaultSetting();
}

void TfrmVylSetup::SelectCodePageIndex(int index, bool radioGroup, bool msgList, bool testList) {
    // A page not made yet takes the welcome list's row when it is made.
    if (radioGroup && codePagePage_)
        codePagePage_->rg_CodePage_Set->SetItemIndex(index);
    if (msgList)
        cbb_CodePage_Msg->setCurrentIndex(index);
    if (testList && testPage_)
        testPage_->cbb_codepage_Test->setCurrentIndex(index);
}

void TfrmVylSetup::rg_CodePage_SetClick() {
    SelectCodePageIndex(rg_CodePage_Set()->ItemIndex(), false, true, true);
}

void TfrmVylSetup::cbb_codepage_TestChange() {
    SelectCodePageIndex(cbb_codepage_Test()->currentIndex(), true, true, false);
}

void TfrmVylSetup::cbb_CodePage_MsgChange() {
    SelectCodePageIndex(cbb_CodePage_Msg->currentIndex(), true, false, true);
    // Only the welcome code page recomputes the views; the counts stay.
    const int row = cbb_CodePage_Msg->currentIndex();
    for (auto [edit, view] : {std::pair{edt_line1, mmo_line1_hex}, {edt_line2, mmo_line2_hex}})
        view->setPlainText(
            QString::fromStdString(WelcomeLineHex(edit->text().toStdU16String(), row)));
}

void TfrmVylSetup::rg_InterChar_SetClick() {
    SelectCodePageIndex(CodePageRowOfInterChar(rg_InterChar_Set()->ItemIndex()), true, true, true);
}

void TfrmVylSetup::ShowLineCountAndHex(TEdit* edit, TLabel* count, QPlainTextEdit* hexView) {
    const QString text = edit->text();
    count->setText(QString::number(text.size()));
    hexView->setPlainText(QString::fromStdString(
        WelcomeLineHex(text.toStdU16String(), cbb_CodePage_Msg->currentIndex())));
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
    edt_Text()->SetText(
        QString::fromStdU16String(CenterText(edt_Text()->text().toStdU16String(), 20)));
}
