// SPDX-License-Identifier: Apache-2.0
#include "untSettingsFile.h"

#include "untLanguage.h"
#include "untUtf8File.h"
#include "untVersion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

enum class TText { NotRegular, TooLarge, ReplaceOther };

constexpr std::array<TTextRow<TText>, 3> Texts{{
    {TText::NotRegular,
     {u"The chosen file is not a regular file: %1", u"所选文件不是普通文件：%1"}},
    {TText::TooLarge, {u"The chosen file is larger than 1 MiB: %1", u"所选文件大于 1 MiB：%1"}},
    {TText::ReplaceOther,
     {u"The file \"%1\" already exists.\rDo you want to replace it?",
      u"文件“%1”已存在。\r是否替换它？"}},
}};

QString T(TText id) {
    return TextOf(Texts, id);
}

void AppendAscii(std::u16string& out, std::string_view text) {
    for (char c : text)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
}

void AppendMember(std::u16string& out, std::string_view key, const std::u16string& value,
                  bool last) {
    AppendAscii(out, "    ");
    out += JsonStringLiteral(std::u16string(key.begin(), key.end()));
    AppendAscii(out, ": ");
    out += value;
    if (!last)
        out.push_back(u',');
    AppendAscii(out, "\r\n");
}

std::u16string Number(unsigned value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

} // namespace

std::u16string JsonStringLiteral(std::u16string_view text) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::u16string out;
    out.reserve(text.size() + 2);
    out.push_back(u'"');
    for (char16_t c : text) {
        switch (c) {
        case u'\b':
            AppendAscii(out, "\\b");
            break;
        case u'\t':
            AppendAscii(out, "\\t");
            break;
        case u'\n':
            AppendAscii(out, "\\n");
            break;
        case u'\f':
            AppendAscii(out, "\\f");
            break;
        case u'\r':
            AppendAscii(out, "\\r");
            break;
        case u'"':
            AppendAscii(out, "\\\"");
            break;
        case u'\\':
            AppendAscii(out, "\\\\");
            break;
        default:
            if (c < 0x20 || c == 0x85 || c == 0x2028 || c == 0x2029) {
                AppendAscii(out, "\\u");
                for (int shift = 12; shift >= 0; shift -= 4)
                    out.push_back(static_cast<char16_t>(Hex[(c >> shift) & 0xF]));
            } else {
                out.push_back(c);
            }
        }
    }
    out.push_back(u'"');
    return out;
}

std::u16string SettingsFileText(const TSystemInfo& info) {
    std::u16string out = u"{\r\n";
    AppendMember(out, "temp1", Number(info.temp1), false);
    AppendMember(out, "Baud_Rate", Number(info.Baud_Rate), false);
    AppendMember(out, "temp2", Number(info.temp2), false);
    AppendMember(out, "Char_No", Number(info.Char_No), false);
    AppendMember(out, "Expand_Char_No", Number(info.Expand_Char_No), false);
    AppendMember(out, "Comm_No", Number(info.Comm_No), false);
    AppendMember(out, "wel_mess1", JsonStringLiteral(info.wel_mess1), false);
    AppendMember(out, "wel_mess2", JsonStringLiteral(info.wel_mess2), false);
    AppendMember(out, "back_light", Number(info.back_light), true);
    out.push_back(u'}');
    return out;
}

QString WithIniExtension(const QString& path) {
    const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < nameStart)
        return path + QStringLiteral(".ini");
    return path.left(dot) + QStringLiteral(".ini");
}

QString SettingsFileRefusal(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    if (!info.isFile())
        return T(TText::NotRegular).arg(path);
    if (info.size() > MaxSettingsFileSize)
        return T(TText::TooLarge).arg(path);
    return {};
}

std::u16string ReadSettingsFile(const QString& path, QString& failure) {
    const QString loadError = QStringLiteral("Load Settings Error!");
    // Reading a FIFO, a device or a huge file would hang.
    if (const QString refusal = SettingsFileRefusal(path); !refusal.isEmpty()) {
        failure = loadError + QLatin1Char('\r') + refusal;
        return {};
    }
    std::u16string text = ReadUtf8File(path.toStdString());
    failure = text.empty() ? loadError : QString();
    return text;
}

QString LoadSettingsText(std::u16string_view text, TSystemInfo& target) {
    target.wel_mess1_hex.clear();
    target.wel_mess2_hex.clear();
    const TParseResult result = ParseSettingsJson(text, target);
    if (result.Success)
        return {};
    return QStringLiteral("Explain Settings Error: ") + QString::fromStdString(result.Error);
}

QString FirstSaveDirectory() {
    return FirstSaveDirectory(QFileInfo(QString::fromStdString(ProgramFilePath())).absolutePath());
}

QString FirstSaveDirectory(const QString& programDir) {
    if (!programDir.isEmpty() && QFileInfo(programDir).isWritable())
        return programDir;
    return QDir::homePath();
}

QString ReplaceOtherFileQuestion(const QString& fileName) {
    return T(TText::ReplaceOther).arg(fileName);
}
