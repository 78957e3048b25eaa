// SPDX-License-Identifier: Apache-2.0
// The code page and test pages, made on first use: only the first page shows at start, and
// making the other two's controls (and filling, captioning and wiring them) was a good part of
// the window's start. A page is made when it is first shown or when one of its controls is
// first asked for, and shows then exactly what it would have shown had it been made at start.

#include "frmuVylSetup.h"

#include "untDisplayPicture.h"

// The accessors are const as the controls they return are; making a page on the way changes
// what the window holds, never what it shows.
const TfrmVylSetup::TCodePageControls& TfrmVylSetup::CodePagePage() const {
    if (!codePagePage_)
        const_cast<TfrmVylSetup*>(this)->MakeCodePagePage();
    return *codePagePage_;
}

const TfrmVylSetup::TTestPageControls& TfrmVylSetup::TestPage() const {
    if (!testPage_)
        const_cast<TfrmVylSetup*>(this)->MakeTestPage();
    return *testPage_;
}

void TfrmVylSetup::MakeCodePagePage() {
    auto page = std::make_unique<TCodePageControls>();
    LayOutCodePagePage(*page);
    page->rg_InterChar_Set->SetItems(interCharItems_);
    page->rg_InterChar_Set->SetItemIndex(interCharIndex_);
    page->rg_CodePage_Set->SetItems(codePageItems_);
    page->rg_CodePage_Set->SetItemIndex(cbb_CodePage_Msg->currentIndex());
    OnEvent(page->rg_InterChar_Set, &TRadioGroup::Click, &TfrmVylSetup::rg_InterChar_SetClick);
    OnEvent(page->rg_CodePage_Set, &TRadioGroup::Click, &TfrmVylSetup::rg_CodePage_SetClick);
    OnEvent(page->btn_DownloadCodePage, &QPushButton::clicked,
            &TfrmVylSetup::btn_DownloadCodePageClick);
    codePagePage_ = std::move(page);
    ApplyCaptions(*tsCodepageSet);
    ShowMadeControls(tsCodepageSet);
}

void TfrmVylSetup::MakeTestPage() {
    auto page = std::make_unique<TTestPageControls>();
    LayOutTestPage(*page);
    page->cbb_codepage_Test->addItems(codePageItems_);
    page->cbb_codepage_Test->setCurrentIndex(cbb_CodePage_Msg->currentIndex());
    OnEvent(page->cbb_codepage_Test, &QComboBox::activated, &TfrmVylSetup::cbb_codepage_TestChange);
    OnEvent(page->btn_textText_center, &QPushButton::clicked,
            &TfrmVylSetup::btn_textText_centerClick);
    OnEvent(page->btn_ClearDisplay, &QPushButton::clicked, &TfrmVylSetup::btn_ClearDisplayClick);
    OnEvent(page->btn_TextSend, &QPushButton::clicked, &TfrmVylSetup::btn_TextSendClick);
    CreateTestPicture(*page);
    testPage_ = std::move(page);
    // Route the character-range buttons to the character test.
    actButtonCreatExecute(nullptr);
    ApplyCaptions(*tsDisplayTest);
    ShowTestPicture();
    ShowMadeControls(tsDisplayTest);
}

void TfrmVylSetup::ShowMadeControls(QWidget* page) {
    if (!page->isVisible())
        return; // shown with the page
    for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->testAttribute(Qt::WA_WState_ExplicitShowHide))
            child->show();
}
