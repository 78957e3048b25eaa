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
    FitInMadePage(tsCodepageSet);
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
    FitInMadePage(tsDisplayTest);
}

void TfrmVylSetup::FitInMadePage(QWidget* page) {
    // Tab goes through a page's controls, top to bottom, before the buttons at the foot of the
    // window: the new ones move from the end of the focus chain to the place before those
    // buttons, in the order they were made.
    QWidget* previous = btn_Default->previousInFocusChain();
    for (QWidget* control : page->findChildren<QWidget*>())
        if (control->focusPolicy() & Qt::TabFocus) {
            setTabOrder(previous, control);
            previous = control;
        }
    // Children made in a shown widget stay hidden until shown.
    if (page->isVisible())
        for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!child->testAttribute(Qt::WA_WState_ExplicitShowHide))
                child->show();
}
