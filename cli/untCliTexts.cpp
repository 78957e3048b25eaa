// SPDX-License-Identifier: Apache-2.0
#include "untCliTexts.h"

#include "untLanguage.h"

namespace {

constexpr TTextRow<TCliText> Texts[] = {
    {TCliText::NoCommand, {u"no command given", u"没有给出命令"}},
    {TCliText::UnknownCommand, {u"unknown command '%1'", u"未知命令“%1”"}},
    {TCliText::UnknownOption, {u"unknown option '%1'", u"未知选项“%1”"}},
    {TCliText::OptionNeedsValue, {u"option '%1' needs a value", u"选项“%1”需要一个值"}},
    {TCliText::OptionHasNoValue, {u"option '%1' takes no value", u"选项“%1”不带值"}},
    {TCliText::OptionNotForCommand,
     {u"option '%1' does not apply to '%2'", u"选项“%1”不适用于“%2”"}},
    {TCliText::ArgumentCount, {u"'%1' takes %2", u"“%1”需要%2"}},
    {TCliText::PortRequired,
     {u"no port given: name one with --port (vylctl ports lists them)",
      u"没有指定串口：请用 --port 指定（vylctl ports 列出串口）"}},
    {TCliText::FindPortRequired,
     {u"no port given: name one with --port, or search every listed port with --all-ports",
      u"没有指定串口：请用 --port 指定一个，或用 --all-ports 查找所有列出的串口"}},
    {TCliText::BadBaudRate, {u"bad speed '%1': one of %2", u"波特率“%1”无效：应为 %2 之一"}},
    {TCliText::NotKeyValue, {u"'%1' is not KEY=VALUE", u"“%1”不是 KEY=VALUE 形式"}},
    {TCliText::UnknownKey, {u"unknown setting '%1': one of %2", u"未知设置“%1”：应为 %2 之一"}},
    {TCliText::KeyTwice, {u"setting '%1' given twice", u"设置“%1”给出了两次"}},
    {TCliText::BadValue, {u"bad value '%2' for %1: one of %3", u"%1 的值“%2”无效：应为 %3 之一"}},
    {TCliText::LineTooLong,
     {u"%1 has %2 characters; at most %3 fit", u"%1 有 %2 个字符，最多只能 %3 个"}},
    {TCliText::BadPosition, {u"bad %1 '%2': 1 to %3", u"%1“%2”无效：应为 1 到 %3"}},
    {TCliText::UnknownPattern,
     {u"unknown pattern '%1': one of %2", u"未知测试图案“%1”：应为 %2 之一"}},
    {TCliText::TryHelp, {u"Try 'vylctl --help'.", u"请运行 vylctl --help 查看用法。"}},
    {TCliText::NoDisplay, {u"no display answered", u"没有客显应答"}},
    {TCliText::Unusable, {u"the display answered with something unusable", u"客显的应答无法使用"}},
    {TCliText::NotConfirmed, {u"not confirmed: %1", u"未确认：%1"}},
    {TCliText::Differs, {u"%1 reads %2, not %3", u"%1 读回为 %2，而不是 %3"}},
    {TCliText::NoReadBack,
     {u"the display's settings could not be read back", u"无法读回客显的设置"}},
    {TCliText::Interrupted, {u"interrupted; the port is released", u"已中断，串口已释放"}},
    {TCliText::Forced, {u"--force: the settings go out all the same", u"--force：仍然发送设置"}},
    {TCliText::DefaultsTaken,
     {u"--force: the display's settings could not be read; settings not given are the window's "
      u"defaults",
      u"--force：无法读取客显的设置；未给出的设置采用窗口的默认值"}},
    {TCliText::ValueWithoutRow,
     {u"the display's %1 (%2) is none of the list: give %3 as well",
      u"客显的 %1（%2）不在列表中：请同时给出 %3"}},
    {TCliText::FileValueWithoutRow,
     {u"the file's %1 (%2) is none of the list", u"文件中的 %1（%2）不在列表中"}},
    {TCliText::FileLacksMembers,
     {u"--force: the display's settings could not be read, and the file lacks %1 for the %2; "
      u"nothing was sent",
      u"--force：无法读取客显的设置，而文件缺少 %2 所需的 %1；未发送任何设置"}},
    {TCliText::StoppedPartWay,
     {u"stopped part-way: applied: %1; not applied: %2", u"中途停止：已应用：%1；未应用：%2"}},
    {TCliText::PortListUnreadable,
     {u"the system's list of serial ports cannot be read", u"无法读取系统的串口列表"}},
    {TCliText::ActionDone, {u"%1: %2", u"%1：%2"}},
    {TCliText::Searching,
     {u"searching %1 for the display, %2 bit/s first; a display at another speed may show stray "
      u"characters",
      u"正在 %1 上查找客显，先试 %2 波特；其他波特率的客显上可能出现乱码字符"}},
    {TCliText::SpeedFound, {u"display found at %1 bit/s", u"找到客显，波特率 %1"}},
    {TCliText::NoPortsListed, {u"no serial port is listed", u"没有列出串口"}},
    {TCliText::NoArguments, {u"no arguments", u"不带参数"}},
    {TCliText::KeyValues, {u"one or more KEY=VALUE", u"一个或多个 KEY=VALUE"}},
    {TCliText::OneFileName, {u"one file name", u"一个文件名"}},
    {TCliText::OneText, {u"one text", u"一段文本"}},
    {TCliText::OnePatternName, {u"one pattern name", u"一个测试图案名"}},
};

} // namespace

QString CliText(TCliText text) {
    return TextOf(Texts, text);
}
