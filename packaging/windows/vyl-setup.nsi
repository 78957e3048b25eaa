; SPDX-License-Identifier: Apache-2.0
; The Windows installer. scripts/windows.sh passes VERSION (1.0.0), STAGE (the folder holding
; everything that is installed) and OUTFILE.
; A 64-bit installer for a 64-bit program (it also runs where no 32-bit layer is installed).
Target amd64-unicode
!include "MUI2.nsh"

Name "VYL Setup"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\VYL Setup"
InstallDirRegKey HKLM "Software\VYL Setup" "InstallDir"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "VYL Setup"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "VYL Setup installer"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Licensed under the Apache License 2.0"

!define MUI_ICON "${STAGE}\vyl-setup.ico"
!define MUI_UNICON "${STAGE}\vyl-setup.ico"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VYL Setup"

Section "VYL Setup"
    SetRegView 64
    ; The Start-menu entry is every user's, as the folder under Program Files is.
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File /r "${STAGE}\*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\VYL Setup.lnk" "$INSTDIR\vyl-setup.exe" "" "$INSTDIR\vyl-setup.exe" 0
    WriteRegStr HKLM "Software\VYL Setup" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "VYL Setup"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "VYL Setup developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vyl-setup.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetRegView 64
    SetShellVarContext all
    Delete "$SMPROGRAMS\VYL Setup.lnk"
    RMDir /r "$INSTDIR\plugins"
    RMDir /r "$INSTDIR\translations"
    Delete "$INSTDIR\*.exe"
    Delete "$INSTDIR\*.dll"
    Delete "$INSTDIR\*.ico"
    Delete "$INSTDIR\qt.conf"
    Delete "$INSTDIR\LICENSE.txt"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "Software\VYL Setup"
SectionEnd
