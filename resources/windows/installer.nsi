; SPDX-FileCopyrightText: 2026 Quillmoor
; SPDX-License-Identifier: GPL-3.0-or-later
; Per-user installer for the Windows zip's contents: no administrator rights,
; a Start menu entry, an entry in the installed programs, and an uninstaller
; that removes exactly the files it installed (the game in the registry stays).
; scripts/windows defines VERSION, SOURCE (the unpacked zip folder), FILES (a
; list of Delete lines for those files) and OUTFILE.
; A 64-bit installer for a 64-bit program (and Wine without its 32-bit half).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lexorne"

Name "Lexorne ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Lexorne"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    File /r "${SOURCE}/*.*"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Lexorne.lnk" "$INSTDIR\Lexorne.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Lexorne"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Quillmoor"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Lexorne.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    Delete "$SMPROGRAMS\Lexorne.lnk"
    !include "${FILES}"
    Delete "$INSTDIR\Uninstall.exe"
    ; Only folders left empty go.
    RMDir "$INSTDIR\platforms"
    RMDir "$INSTDIR\styles"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
