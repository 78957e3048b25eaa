// SPDX-License-Identifier: Apache-2.0
#include "untLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#include <array>

namespace {

bool chineseProcess = false;

enum class TLabel {
    Model,
    FirmwareVersion,
    CommandSet,
    InterChar,
    CodePage,
    BaudRate,
    HandShakeFail
};

constexpr std::array<TTextRow<TLabel>, 7> Labels{{
    {TLabel::Model, {u"Model:", u"型号："}},
    {TLabel::FirmwareVersion, {u"Firmware Version:", u"固件版本："}},
    {TLabel::CommandSet, {u"Command Set:", u"指令集："}},
    {TLabel::InterChar, {u"InterChar:", u"国家："}},
    {TLabel::CodePage, {u"CodePage:", u"代码页："}},
    {TLabel::BaudRate, {u"BaudRate:", u"波特率："}},
    {TLabel::HandShakeFail,
     {u"The customer display handshake failed for the following reasons:\r\r1. The serial port "
      u"number is incorrect\r2. Baud rate mismatch\r3. TX pin is not connected",
      u"客显握手失败，可能有以下原因：\r\r1.串口号不正确\r2.波特率不匹配\r3.TX引脚未连接"}},
}};

constexpr TCaptionEntry Captions[] = {
    // top and bottom of the window
    {"grp_Settings", {u"COM Settings", u"串口设置"}},
    {"lab_SerialPort", {u"Serial Port:", u"端口号："}},
    {"btn_enumComPorts", {u"Refresh", u"刷新"}},
    {"lab_BaudRate", {u"Baud Rate:", u"波特率："}},
    {"btn_FindDisplay", {u"Find Display", u"查找客显"}},
    {"tsBasicSet", {u" Basic Setting", u" 基本设置 "}},
    {"tsDisplayTest", {u"Display Testing", u" 客显测试 "}},
    {"tsCodepageSet", {u"CharacterSet Setting", u" 代码页设置 "}},
    {"btn_Default", {u"Default Setting", u"默认设置"}},
    {"btn_loadsettings", {u"Load Setting", u"载入设置"}},
    {"btn_savesettings", {u"Save Setting", u"保存设置"}},
    {"btn_GetSetting", {u"Get Setting", u"读取设置"}},
    {"btn_RestartDisplay", {u"Restart Display", u"重启客显"}},
    {"btn_Exit", {u"Exit", u"退出"}},
    // page tsBasicSet
    {"grp_commandSet", {u"Command Set", u"指令集设置"}},
    {"lab_commandmode", {u"Command Mode:", u"指令集："}},
    {"btn_commandSet", {u"Setting", u"设置"}},
    {"grp_baudrateSet", {u"Baudrate Set", u"波特率设置"}},
    {"lab_Set_BaudRate", {u"Baud Rate:", u"波特率："}},
    {"btn_baudrateSet", {u"Setting", u"设置"}},
    {"grp_WelcomeMessage", {u"Welcome Message Set", u"欢迎语设置"}},
    {"lbl_codepage_welmsg", {u"Code Page:", u"代码页："}},
    {"lbl_codepage_hint_welmsg",
     {u"(For text encoding conversion only)", u"（仅为文本做编码转换）"}},
    {"btn_welText_center", {u"Center", u"居中"}},
    {"lab_Line1", {u"Line 1:", u"第一行："}},
    {"lab_Line2", {u"Line 2:", u"第二行："}},
    {"chk_Scroll1", {u"Scroll", u"滚动"}},
    {"chk_Scroll2", {u"Scroll", u"滚动"}},
    {"btn_DownloadSetting", {u"Setting", u"设置"}},
    {"rg_brightness", {u"Brightness adjustment", u"亮度调节"}},
    {"btn_brightness_set", {u"Setting", u"设置"}},
    // page tsCodepageSet
    {"rg_InterChar_Set", {u"CharacterSet", u"字符集"}},
    {"rg_CodePage_Set", {u"CodePage", u"代码页"}},
    {"btn_DownloadCodePage", {u"Setting", u"设置"}},
    // page tsDisplayTest
    {"grp_TestText", {u"Display Test", u"显示测试"}},
    {"lbl_codeage_test", {u"Code Page:", u"代码页："}},
    {"lbl_codepage_hint_test", {u"(For text encoding conversion only)", u"（仅为文本做编码转换）"}},
    {"btn_ClearDisplay", {u"Clear Display", u"清屏"}},
    {"lab_TestContent", {u"Text:", u"文本："}},
    {"btn_textText_center", {u"Center", u"居中"}},
    {"chk_PositionAt", {u"Position at", u"指定位置显示"}},
    {"lab_Row", {u"Row:", u"行："}},
    {"lab_Column", {u"Column:", u"列："}},
    {"btn_TextSend", {u"Display Text", u"显示文本"}},
    {"grp_Test_InterChar", {u"ASCII", u"标准ASCII"}},
    {"grp_Test_CodePage", {u"Extended ASCII", u"扩展ASCII"}},
};

} // namespace

std::span<const TCaptionEntry> CaptionTable() {
    return Captions;
}

bool IsChineseLangID(int iLangID) {
    return iLangID == 0x0804;
}

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

QString Tr(const TBilingual& text) {
    return QString::fromUtf16(chineseProcess ? text.Zh : text.En);
}

QString ModelLabel() {
    return TextOf(Labels, TLabel::Model);
}

QString FirmwareVersionLabel() {
    return TextOf(Labels, TLabel::FirmwareVersion);
}

QString CommandSetLabel() {
    return TextOf(Labels, TLabel::CommandSet);
}

QString InterCharLabel() {
    return TextOf(Labels, TLabel::InterChar);
}

QString CodePageLabel() {
    return TextOf(Labels, TLabel::CodePage);
}

QString BaudRateLabel() {
    return TextOf(Labels, TLabel::BaudRate);
}

QString HandShakeFailMessage() {
    return TextOf(Labels, TLabel::HandShakeFail);
}
