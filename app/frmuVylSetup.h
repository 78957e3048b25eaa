// SPDX-License-Identifier: Apache-2.0
#pragma once

// The main window. Its code is split by concern:
//   frmuVylSetup.cpp               start-up (FormCreate), port and speed, Exit, handler wiring
//   frmuVylSetup_Layout.cpp        every control at its place, with its layout caption
//   frmuVylSetup_Settings.cpp      SystemInfoChange, RefreshSettings, DefaultSetting, the code
//                                  page selectors, welcome line counts and hex views, Center
//   frmuVylSetup_Language.cpp      SelectLanguage (the tables are untLanguage's)
//   frmuVylSetup_SettingsFile.cpp  Save Setting / Load Setting
//   frmuVylSetup_Actions.cpp       the device actions, the connection around each, and the
//                                  one-action-at-a-time rule
//   frmuVylSetup_TestPage.cpp      the character test page (actButtonCreat, actCodePageTest)
//   frmuVylSetup_Search.cpp        Find Display: the search for the display's port and speed
//   frmuVylSetup_Picture.cpp       the pictures of the display (welcome lines, test text)
//   frmuVylSetup_PortList.cpp      the port list that follows plugging
//   frmuVylSetup_Pages.cpp         the code page and test pages, made on first use
// Controls are public members, those of the second and third pages public accessors; each
// one's objectName is its name here.

#include "untActionResult.h"
#include "untControls.h"
#include "untMessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class QCloseEvent;
class TDisplayPicture;
class TDisplaySession;
class TPortWatch;

// A message box shown while a device action runs (the arrow cursor while it is open).
TMsgResult ActionMessage(const QString& text, TMsgStyle style, const QString& detail = {});

class QShortcut;
class QTimer;

class TfrmVylSetup : public QWidget {
    Q_OBJECT
public:
    explicit TfrmVylSetup(QWidget* parent = nullptr);

    // Where the port list comes from (the session's list of the machine's ports); tests give
    // their own ports, so that a search of every port reaches no one else's.
    using TPortLister = std::function<bool(std::vector<std::string>& target)>;
    void SetPortLister(TPortLister lister) { listPorts_ = std::move(lister); }

    // ---- top of the window
    QGroupBox* grp_Settings = nullptr;
    TLabel* lab_SerialPort = nullptr;
    TWideListComboBox* cbb_SerialPort = nullptr;
    QPushButton* btn_enumComPorts = nullptr;
    TLabel* lab_BaudRate = nullptr;
    QComboBox* cbb_BaudRate = nullptr;
    QPushButton* btn_FindDisplay = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* tsBasicSet = nullptr;
    QWidget* tsCodepageSet = nullptr;
    QWidget* tsDisplayTest = nullptr;

    // ---- page tsBasicSet
    QGroupBox* grp_commandSet = nullptr;
    TLabel* lab_commandmode = nullptr;
    QComboBox* cbb_CommandMode_Set = nullptr;
    QPushButton* btn_commandSet = nullptr;
    QGroupBox* grp_baudrateSet = nullptr;
    TLabel* lab_Set_BaudRate = nullptr;
    QComboBox* cbb_BaudRate_Set = nullptr;
    QPushButton* btn_baudrateSet = nullptr;
    QGroupBox* grp_WelcomeMessage = nullptr;
    TLabel* lbl_codepage_welmsg = nullptr;
    QComboBox* cbb_CodePage_Msg = nullptr;
    TLabel* lbl_codepage_hint_welmsg = nullptr;
    QPushButton* btn_welText_center = nullptr;
    TLabel* lab_Line1 = nullptr;
    TEdit* edt_line1 = nullptr;
    TLabel* lbl_mess1_count = nullptr;
    QCheckBox* chk_Scroll1 = nullptr;
    QPlainTextEdit* mmo_line1_hex = nullptr;
    TLabel* lab_Line2 = nullptr;
    TEdit* edt_line2 = nullptr;
    TLabel* lbl_mess2_count = nullptr;
    QCheckBox* chk_Scroll2 = nullptr;
    QPlainTextEdit* mmo_line2_hex = nullptr;
    QPushButton* btn_DownloadSetting = nullptr;
    TRadioGroup* rg_brightness = nullptr;
    QPushButton* btn_brightness_set = nullptr;

    // ---- page tsCodepageSet, and page tsDisplayTest below: only the first page shows at start,
    // so the other two get their controls when first shown or when one of them is first asked
    // for (frmuVylSetup_Pages.cpp); an accessor always returns the control, made if need be.
    TRadioGroup* rg_InterChar_Set() const { return CodePagePage().rg_InterChar_Set; }
    TRadioGroup* rg_CodePage_Set() const { return CodePagePage().rg_CodePage_Set; }
    QPushButton* btn_DownloadCodePage() const { return CodePagePage().btn_DownloadCodePage; }

    // ---- page tsDisplayTest
    QGroupBox* grp_TestText() const { return TestPage().grp_TestText; }
    TLabel* lbl_codeage_test() const { return TestPage().lbl_codeage_test; }
    QComboBox* cbb_codepage_Test() const { return TestPage().cbb_codepage_Test; }
    TLabel* lbl_codepage_hint_test() const { return TestPage().lbl_codepage_hint_test; }
    QPushButton* btn_ClearDisplay() const { return TestPage().btn_ClearDisplay; }
    TLabel* lab_TestContent() const { return TestPage().lab_TestContent; }
    TEdit* edt_Text() const { return TestPage().edt_Text; }
    QPushButton* btn_textText_center() const { return TestPage().btn_textText_center; }
    QCheckBox* chk_PositionAt() const { return TestPage().chk_PositionAt; }
    TLabel* lab_Row() const { return TestPage().lab_Row; }
    TEdit* edt_Row() const { return TestPage().edt_Row; }
    TUpDown* ud_Row() const { return TestPage().ud_Row; }
    TLabel* lab_Column() const { return TestPage().lab_Column; }
    TEdit* edt_Column() const { return TestPage().edt_Column; }
    TUpDown* ud_Column() const { return TestPage().ud_Column; }
    QPushButton* btn_TextSend() const { return TestPage().btn_TextSend; }
    QGroupBox* grp_Test_InterChar() const { return TestPage().grp_Test_InterChar; }
    QPushButton* btn_203F() const { return TestPage().btn_203F; }
    QPushButton* btn_405F() const { return TestPage().btn_405F; }
    QPushButton* btn_607F() const { return TestPage().btn_607F; }
    QGroupBox* grp_Test_CodePage() const { return TestPage().grp_Test_CodePage; }
    QPushButton* btn_809F() const { return TestPage().btn_809F; }
    QPushButton* btn_A0BF() const { return TestPage().btn_A0BF; }
    QPushButton* btn_C0DF() const { return TestPage().btn_C0DF; }
    QPushButton* btn_E0FF() const { return TestPage().btn_E0FF; }

    // ---- bottom of the window
    QPushButton* btn_Default = nullptr;
    QPushButton* btn_loadsettings = nullptr;
    QPushButton* btn_savesettings = nullptr;
    QPushButton* btn_GetSetting = nullptr;
    QPushButton* btn_RestartDisplay = nullptr;
    QPushButton* btn_Exit = nullptr;
    TStatusBar* StatusBar1 = nullptr;

    // Pictures of the display (frmuVylSetup_Picture.cpp): the welcome lines, the test text.
    TDisplayPicture* pic_Welcome = nullptr;
    TDisplayPicture* pic_Test() const { return TestPage().pic_Test; }

    // The system's default language identifier, read once by FormCreate.
    std::uint16_t LangID = 0;

    // The port and speed of the next device action, kept by the session as its target: the
    // port and speed lists set them, a speed change or a search that found the display moves
    // them. The speed of a list entry is its row's bit/s, 9600 without a selection.
    std::u16string CurrentPortName() const;
    int CurrentBaudRate() const;
    void SetCurrentPortName(const std::u16string& portName);
    void SetCurrentBaudRate(int baudRate);

    // Settings between the controls and SystemInfo.
    void SystemInfoChange();
    // What SystemInfoChange stores, into the given record.
    void CaptureControls(TSystemInfo& target) const;
    void RefreshSettings();
    void DefaultSetting();
    void SelectLanguage(int iLangID);

    // Handlers (each runs through the general exception report when wired to its control).
    void btn_DefaultClick();
    void btn_ExitClick();
    void cbb_SerialPortChange();
    void cbb_BaudRateChange();
    void btn_enumComPortsClick();
    void rg_InterChar_SetClick();
    void rg_CodePage_SetClick();
    void cbb_codepage_TestChange();
    void cbb_CodePage_MsgChange();
    void edt_line1Change();
    void edt_line2Change();
    void btn_welText_centerClick();
    void btn_textText_centerClick();
    void btn_savesettingsClick();
    void btn_loadsettingsClick();

    // Device actions (frmuVylSetup_Actions.cpp). One runs at a time: a click on any of them while
    // another runs is dropped.
    void btn_GetSettingClick();
    void btn_commandSetClick();
    void btn_baudrateSetClick();
    void btn_brightness_setClick();
    void btn_DownloadSettingClick();
    void btn_DownloadCodePageClick();
    void btn_RestartDisplayClick();
    void btn_ClearDisplayClick();
    void btn_TextSendClick();
    // Searches the selected port (and, when the user agrees, every listed port) for the display.
    void btn_FindDisplayClick();
    // The click of every character-range button; sender is the button pressed.
    void actCodePageTestExecute(QObject* sender);

    // True from the start of a device action until its last message has been closed.
    bool ActionRunning() const { return actionRunning_; }
    // The session that runs the device actions.
    TDisplaySession& Session() const { return *session_; }

    // True for an entry of the port list kept although its port has gone.
    bool PortMissing(int index) const;

    // The directory the save dialog opens in (empty until the first save).
    QString SaveDirectory() const { return saveDirectory_; }

private:
    // The controls of the pages made on first use.
    struct TCodePageControls {
        TRadioGroup* rg_InterChar_Set = nullptr;
        TRadioGroup* rg_CodePage_Set = nullptr;
        QPushButton* btn_DownloadCodePage = nullptr;
    };
    struct TTestPageControls {
        QGroupBox* grp_TestText = nullptr;
        TLabel* lbl_codeage_test = nullptr;
        QComboBox* cbb_codepage_Test = nullptr;
        TLabel* lbl_codepage_hint_test = nullptr;
        QPushButton* btn_ClearDisplay = nullptr;
        TLabel* lab_TestContent = nullptr;
        TEdit* edt_Text = nullptr;
        QPushButton* btn_textText_center = nullptr;
        QCheckBox* chk_PositionAt = nullptr;
        TLabel* lab_Row = nullptr;
        TEdit* edt_Row = nullptr;
        TUpDown* ud_Row = nullptr;
        TLabel* lab_Column = nullptr;
        TEdit* edt_Column = nullptr;
        TUpDown* ud_Column = nullptr;
        QPushButton* btn_TextSend = nullptr;
        QGroupBox* grp_Test_InterChar = nullptr;
        QPushButton* btn_203F = nullptr;
        QPushButton* btn_405F = nullptr;
        QPushButton* btn_607F = nullptr;
        QGroupBox* grp_Test_CodePage = nullptr;
        QPushButton* btn_809F = nullptr;
        QPushButton* btn_A0BF = nullptr;
        QPushButton* btn_C0DF = nullptr;
        QPushButton* btn_E0FF = nullptr;
        TDisplayPicture* pic_Test = nullptr;
    };
    // Each makes its page's controls on the first call (frmuVylSetup_Pages.cpp).
    const TCodePageControls& CodePagePage() const;
    const TTestPageControls& TestPage() const;
    void MakeCodePagePage();
    void MakeTestPage();
    void LayOutCodePagePage(TCodePageControls& page); // frmuVylSetup_Layout.cpp
    void LayOutTestPage(TTestPageControls& page);
    // Puts a page's new controls in the focus chain where they would have been had they been
    // made at start, and shows them when the page is shown already.
    void FitInMadePage(QWidget* page);
    // Captions of the language tables for the controls within `scope`.
    void ApplyCaptions(const QWidget& scope);
    std::unique_ptr<TCodePageControls> codePagePage_;
    std::unique_ptr<TTestPageControls> testPage_;
    // What the pages not yet made would show: the lists as start-up read them and the
    // character set; the code page is the welcome list's, which every selector follows.
    QStringList interCharItems_;
    QStringList codePageItems_;
    int interCharIndex_ = 0;

    void CreateControls();        // frmuVylSetup_Layout.cpp
    void CreateDisplayPictures(); // frmuVylSetup_Picture.cpp
    void CreateTestPicture(TTestPageControls& page);
    void LabelDisplayPictures();
    void ShowWelcomePicture();
    void ShowTestPicture();
    // The port list that follows plugging (frmuVylSetup_PortList.cpp).
    void CreatePortWatch();
    void StartPortWatch();
    void PortsChanged();
    void FollowPortList();
    bool PortListDiffersFrom(const std::vector<std::string>& ports) const;
    void ConnectHandlers();
    void FormCreate();
    // The system's ports, or the test's lister's.
    bool ReadPorts(std::vector<std::string>& ports) const;
    void FillPortList();
    void CenterOnScreen();
    void SetCaption(const QString& controlName, const QString& caption); // _Language.cpp
    // Welcome line count and hex view of one line, in the code page of cbb_CodePage_Msg.
    void ShowLineCountAndHex(TEdit* edit, TLabel* count, QPlainTextEdit* hexView);
    void SelectCodePageIndex(int index, bool radioGroup, bool msgList, bool testList);

    // Character test page (frmuVylSetup_TestPage.cpp): routes the range buttons, once, from
    // FormCreate.
    void actButtonCreatExecute(QObject* sender);

    // Connects a control's signal to a handler that runs through the general exception report.
    template <typename Sender, typename Signal>
    void OnEvent(Sender* sender, Signal signal, void (TfrmVylSetup::*handler)());

    // Device actions (frmuVylSetup_Actions.cpp). A handler asks the session only when no
    // action runs (a click meanwhile is dropped), and then tells whether the session started
    // it, with the controls it captured: those become SystemInfo once the port has opened.
    bool DeviceActionIdle() const { return !actionRunning_; }
    void DeviceActionStarted(bool started, std::optional<TSystemInfo> captured = {});
    // The controls as SystemInfoChange would store them, SystemInfo left as it is.
    TSystemInfo CapturedSettings() const;
    void SessionMessage(const TActionMessage& message);
    void SessionFinished(const TActionResult& result);
    // The records of an action that has ended, into the window, before its messages are shown.
    void ApplyResult(const TActionResult& result);
    void ShowActionMessage(const TActionMessage& message, const TActionResult& result);
    void EndDeviceAction();
    // Find Display (frmuVylSetup_Search.cpp).
    void FindDisplay(bool everyPort);
    // The port list read anew, the selected port kept when it is still listed.
    void RereadPortList();
    void SearchEnded();
    void ShowSearchResult(const TActionResult& result);

    TDisplaySession* session_ = nullptr;
    std::optional<TSystemInfo> captured_; // of the running action
    bool searchEveryPort_ = false;        // the running search asked every listed port
    // Started once the action has ended (a follow-up the user asked for in its last box).
    std::function<void()> afterAction_;
    QString saveDirectory_;
    bool actionRunning_ = false;
    bool closeWhenIdle_ = false;
    // The ports changed while an action ran: the list follows once it has ended.
    bool portsChangedMeanwhile_ = false;
    TPortWatch* portWatch_ = nullptr;
    bool firstPainted_ = false; // paintEvent has started what waits for the first picture
    // The program was asked to end (a signal, Exit, closing the window): nothing more is sent
    // and no box is shown.
    bool ending_ = false;
    bool searching_ = false;            // the running action is Find Display's search
    QString failDetail_;                // the detail line of the running action's "Fail!"
    QShortcut* cancelSearch_ = nullptr; // Esc while the search runs
    // What the search tries now, written by its ports' threads (which touch no widget) and
    // shown by a timer on the window's. Plain data: a QString's shared buffer would be freed on
    // whichever thread dropped it last, out of the lock's order.
    struct TTryingNote {
        std::mutex Mutex;
        std::string Port; // empty: nothing tried yet
        int Rate = 0;
    };
    std::shared_ptr<TTryingNote> tryingNote_ = std::make_shared<TTryingNote>();
    QTimer* tryingTimer_ = nullptr;
    TPortLister listPorts_;

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

#include "untApplication.h"

template <typename Sender, typename Signal>
void TfrmVylSetup::OnEvent(Sender* sender, Signal signal, void (TfrmVylSetup::*handler)()) {
    connect(sender, signal, this,
            [this, handler] { RunGuarded([this, handler] { (this->*handler)(); }); });
}
