// SPDX-License-Identifier: Apache-2.0
#include "untLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#include <array>

QString ModelLabel;
QString FirmwareVersionLabel;
QString CommandSetLabel;
QString InterCharLabel;
QString CodePageLabel;
QString BaudRateLabel;
QString HandShakeFailMessage;

namespace {

struct TTextEntry {
    QString* Text;
    const char16_t* Zh;
    const char16_t* En;
};

const std::array<TTextEntry, 7> TextTable{{
    {&ModelLabel, u"型号：", u"Model:"},
    {&FirmwareVersionLabel, u"固件版本：", u"Firmware Version:"},
    {&CommandSetLabel, u"指令集：", u"Command Set:"},
    {&InterCharLabel, u"国家：", u"InterChar:"},
    {&CodePageLabel, u"代码页：", u"CodePage:"},
    {&BaudRateLabel, u"波特率：", u"BaudRate:"},
    {&HandShakeFailMessage,
     u"客显握手失败，可能有以下原因：\r\r1.串口号不正确\r2.波特率不匹配\r3.TX引脚未连接",
     u"The customer display handshake failed for the following reasons:\r\r1. The serial port "
     u"number is incorrect\r2. Baud rate mismatch\r3. TX pin is not connected"},
}};

constexpr TCaptionEntry Captions[] = {
    // top and bottom of the window
    {"grp_Settings", u"串口设置", u"COM Settings"},
    {"lab_SerialPort", u"端口号：", u"Serial Port:"},
    {"btn_enumComPorts", u"刷新", u"Refresh"},
    {"lab_BaudRate", u"波特率：", u"Baud Rate:"},
    {"btn_FindDisplay", u"查找显示屏", u"Find Display"},
    {"tsBasicSet", u" 基本设置 ", u" Basic Setting"},
    {"tsDisplayTest", u" 客显测试 ", u"Display Testing"},
    {"tsCodepageSet", u" 代码页设置 ", u"CharacterSet Setting"},
    {"btn_Default", u"默认设置", u"Default Setting"},
    {"btn_loadsettings", u"载入设置", u"Load Setting"},
    {"btn_savesettings", u"保存设置", u"Save Setting"},
    {"btn_GetSetting", u"读取设置", u"Get Setting"},
    {"btn_RestartDisplay", u"重启客显", u"Restart Display"},
    {"btn_Exit", u"退出", u"Exit"},
    // page tsBasicSet
    {"grp_commandSet", u"指令集设置", u"Command Set"},
    {"lab_commandmode", u"指令集：", u"Command Mode:"},
    {"btn_commandSet", u"设置", u"Setting"},
    {"grp_baudrateSet", u"波特率设置", u"Baudrate Set"},
    {"lab_Set_BaudRate", u"波特率：", u"Baud Rate:"},
    {"btn_baudrateSet", u"设置", u"Setting"},
    {"grp_WelcomeMessage", u"欢迎语设置", u"Welcome Message Set"},
    {"lbl_codepage_welmsg", u"代码页：", u"Code Page:"},
    {"lbl_codepage_hint_welmsg", u"（仅为文本做编码转换）", u"(For text encoding conversion only)"},
    {"btn_welText_center", u"居中", u"Center"},
    {"lab_Line1", u"第一行：", u"Line 1:"},
    {"lab_Line2", u"第二行：", u"Line 2:"},
    {"chk_Scroll1", u"滚动", u"Scroll"},
    {"chk_Scroll2", u"滚动", u"Scroll"},
    {"btn_DownloadSetting", u"设置", u"Setting"},
    {"rg_brightness", u"亮度调节", u"Brightness adjustment"},
    {"btn_brightness_set", u"设置", u"Setting"},
    // page tsCodepageSet
    {"rg_InterChar_Set", u"字符集", u"CharacterSet"},
    {"rg_CodePage_Set", u"代码页", u"CodePage"},
    {"btn_DownloadCodePage", u"设置", u"Setting"},
    // page tsDisplayTest
    {"grp_TestText", u"显示测试", u"Display Test"},
    {"lbl_codeage_test", u"代码页：", u"Code Page:"},
    {"lbl_codepage_hint_test", u"（仅为文本做编码转换）", u"(For text encoding conversion only)"},
    {"btn_ClearDisplay", u"清屏", u"Clear Display"},
    {"lab_TestContent", u"文本：", u"Text:"},
    {"btn_textText_center", u"居中", u"Center"},
    {"chk_PositionAt", u"指定位置显示", u"Position at"},
    {"lab_Row", u"行：", u"Row:"},
    {"lab_Column", u"列：", u"Column:"},
    {"btn_TextSend", u"显示文本", u"Display Text"},
    {"grp_Test_InterChar", u"标准ASCII", u"ASCII"},
    {"grp_Test_CodePage", u"扩展ASCII", u"Extended ASCII"},
};

} // namespace

std::span<const TCaptionEntry> CaptionTable() {
    return Captions;
}

bool IsChineseLangID(int iLangID) {
    return iLangID == 0x0804;
}

namespace {
bool chineseProcess = false;
} // namespace

void SetProcessLanguage(int iLangID) {
    chineseProcess = IsChineseLangID(iLangID);
}

bool ChineseProcessLanguage() {
    return chineseProcess;
}

bool SelectQtLanguage(int iLangID) {
    // Loaded once, owned by the application; installed only while the window is Chinese.
    static QPointer<QTranslator> chinese;
    static bool installed = false;
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr)
        return false;
    if (!IsChineseLangID(iLangID)) {
        if (installed && chinese)
            QCoreApplication::removeTranslator(chinese);
        installed = false;
        return false;
    }
    if (!chinese) {
        auto* translator = new QTranslator(application);
        if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            delete translator;
            return false;
        }
        chinese = translator;
        installed = false;
    }
    if (!installed)
        installed = QCoreApplication::installTranslator(chinese);
    return installed;
}

void SelectLanguageTexts(int iLangID) {
    const bool chinese = IsChineseLangID(iLangID);
    for (const TTextEntry& entry : TextTable)
        *entry.Text = QString::fromUtf16(chinese ? entry.Zh : entry.En);
}
