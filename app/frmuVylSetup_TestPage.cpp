// The character test page: seven buttons that fill both display lines with 32 consecutive
// character codes, sent raw so the display shows them in its own character set and code page.

#include "frmuVylSetup.h"

#include "untCmd_RV310.h"
#include "untHex.h"

#include <QVariant>

#include <array>
#include <string_view>
#include <utility>

namespace {

// 0B (the control byte before the text), then per line 16 codes and four blanks.
struct TTestPattern {
    int Tag;
    std::string_view Hex;
};

constexpr std::array<TTestPattern, 7> TestPatterns{{
    {101, "0B202122232425262728292a2b2c2d2e2f20202020303132333435363738393a3b3c3d3e3f20202020"},
    {102, "0B404142434445464748494a4b4c4d4e4f20202020505152535455565758595a5b5c5d5e5f20202020"},
    {103, "0B606162636465666768696a6b6c6d6e6f20202020707172737475767778797a7b7c7d7e7f20202020"},
    {201, "0B808182838485868788898a8b8c8d8e8f20202020909192939495969798999a9b9c9d9e9f20202020"},
    {202, "0Ba0a1a2a3a4a5a6a7a8a9aaabacadaeaf20202020b0b1b2b3b4b5b6b7b8b9babbbcbdbebf20202020"},
    {203, "0Bc0c1c2c3c4c5c6c7c8c9cacbcccdcecf20202020d0d1d2d3d4d5d6d7d8d9dadbdcdddedf20202020"},
    {204, "0Be0e1e2e3e4e5e6e7e8e9eaebecedeeef20202020f0f1f2f3f4f5f6f7f8f9fafbfcfdfeff20202020"},
}};

// The pattern of a tag; a tag the table does not hold gives none.
std::string_view PatternOfTag(int tag) {
    for (const TTestPattern& pattern : TestPatterns)
        if (pattern.Tag == tag)
            return pattern.Hex;
    return {};
}

} // namespace

void TfrmVylSetup::actButtonCreatExecute(QObject* /*sender*/) {
    const std::pair<QPushButton*, int> buttons[] = {
        {btn_203F, 101}, {btn_405F, 102}, {btn_607F, 103}, {btn_809F, 201},
        {btn_A0BF, 202}, {btn_C0DF, 203}, {btn_E0FF, 204},
    };
    for (const auto& [button, tag] : buttons) {
        button->setProperty("Tag", tag);
        // Routed once, whatever ran before.
        disconnect(button, &QPushButton::clicked, this, nullptr);
        connect(button, &QPushButton::clicked, this, [this, button = button] {
            RunGuarded([this, button] { actCodePageTestExecute(button); });
        });
    }
}

void TfrmVylSetup::actCodePageTestExecute(QObject* sender) {
    const int tag = sender != nullptr ? sender->property("Tag").toInt() : 0;
    const std::string_view pattern = PatternOfTag(tag);
    RunDeviceAction([this, pattern] {
        // No handshake, no conversion, no message: the bytes go out as they are.
        WithConnection([pattern] { DSP_DisplayText(HexToBytes(pattern)); });
    });
}
