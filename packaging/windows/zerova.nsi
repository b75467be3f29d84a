; SPDX-License-Identifier: MIT
; Copyright (c) 2026 The Zerova developers
;
; Zerova's installer for 64-bit Windows, zerova-VERSION-setup.exe, built by
; scripts/windows.sh with Debian's NSIS:
;
;   makensis -DVERSION=X.Y.Z -DDIST=FOLDER -DOUTFILE=SETUP.exe zerova.nsi
;
; FOLDER holds what it installs: zerova.exe, zerova-window.exe, LICENSE.txt and
; README.txt. VERSION is CMake's project() version.
;
; Who it installs for: run as administrator (an elevated token), for all users
; (Program Files, HKLM); otherwise for the current user alone, without
; administrator rights (%LOCALAPPDATA%\Programs\Zerova, HKCU). /CURRENTUSER and
; /ALLUSERS choose; /ALLUSERS without administrator rights asks for them (and
; under /S fails with exit status 740). /D=FOLDER, last, names the folder. /S
; installs silently.
;
; What it writes, all of it removed by the uninstaller, and nothing else:
;   the files above and uninstall.exe in the folder (and the folder, when it is
;   left empty; xmlstr.xml, the programs' scratch file, is removed too);
;   the Start-menu shortcut Zerova.lnk (zerova-window.exe);
;   Software\Classes\Zerova.Workbook, the ProgID that opens a file with
;   zerova-window.exe, named in Software\Classes\.EXT\OpenWithProgids for each
;   extension Zerova reads ("Open with Zerova"; the extension's default program
;   stays the user's);
;   Software\Microsoft\Windows\CurrentVersion\Uninstall\Zerova ("Apps & features").

!ifndef VERSION | DIST | OUTFILE
  !error "usage: makensis -DVERSION=X.Y.Z -DDIST=FOLDER -DOUTFILE=SETUP.exe zerova.nsi"
!endif

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PUBLISHER "The Zerova developers"
!define PROGID "Zerova.Workbook"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zerova"
; The Uninstall key's values naming what the install made beyond its own:
; the highest folder above its folder, and the keys above its values.
!define MADE_FOLDER "Zerova: made folders up to"
!define MADE_KEYS "Zerova: made keys"
; ERROR_ELEVATION_REQUIRED
!define NEEDS_ADMIN 740

Name "Zerova ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "Zerova ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName "Zerova"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "Zerova ${VERSION} setup"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey LegalCopyright "Copyright (c) 2026 ${PUBLISHER}"

; "all" for all users, "current" for the current user alone.
Var Mode
; The sentence the folder page says it with.
Var ModeText
; 1 when the uninstaller's folder is the one registered in Mode's registry
; (InstallLocation): then the keys are its own to remove.
Var Registered
; What the install made beyond its own (MADE_FOLDER, MADE_KEYS).
Var MadeFolder
Var MadeKeys

!define MUI_ABORTWARNING
!define MUI_DIRECTORYPAGE_TEXT_TOP "$ModeText"
!insertmacro MUI_PAGE_LICENSE "${DIST}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The extensions of the files Zerova reads, each given to MACRO.
!macro ForEachExtension MACRO
  !insertmacro ${MACRO} .xls
  !insertmacro ${MACRO} .xlsx
  !insertmacro ${MACRO} .xlsm
  !insertmacro ${MACRO} .xlsb
  !insertmacro ${MACRO} .ods
  !insertmacro ${MACRO} .fods
  !insertmacro ${MACRO} .csv
!macroend

; Sets the shell folders ($SMPROGRAMS) and SHCTX (HKLM or HKCU) for Mode.
!macro UseMode
  ${If} $Mode == all
    SetShellVarContext all
    StrCpy $ModeText "Zerova will be installed for all users of this computer."
  ${Else}
    SetShellVarContext current
    StrCpy $ModeText "Zerova will be installed for you alone."
  ${EndIf}
!macroend

; Goes on only with administrator rights: without them, asks Windows to run
; this program again with them (or, silent, fails with 740).
!macro NeedAdmin
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    ${If} ${Silent}
      SetErrorLevel ${NEEDS_ADMIN}
      Quit
    ${EndIf}
    ${GetParameters} $1
    ExecShell "runas" "$EXEPATH" "$1"
    Quit
  ${EndIf}
!macroend

Function .onInit
  ${GetParameters} $1
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 == "Admin"
    StrCpy $Mode all
  ${Else}
    StrCpy $Mode current
  ${EndIf}
  ClearErrors
  ${GetOptions} $1 "/CURRENTUSER" $2
  ${IfNot} ${Errors}
    StrCpy $Mode current
  ${EndIf}
  ClearErrors
  ${GetOptions} $1 "/ALLUSERS" $2
  ${IfNot} ${Errors}
    StrCpy $Mode all
    !insertmacro NeedAdmin
  ${EndIf}
  !insertmacro UseMode
  ; The folder: /D=, else where this mode's earlier install is, else the default.
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
    ${If} $Mode == all
      StrCpy $INSTDIR "$PROGRAMFILES64\Zerova"
    ${Else}
      StrCpy $INSTDIR "$LOCALAPPDATA\Programs\Zerova"
    ${EndIf}
  ${EndIf}
FunctionEnd

; Adds KEY to MadeKeys, the keys this install makes ("|" after each), when it
; is not there yet.
!macro NoteNewKey KEY
  ClearErrors
  EnumRegKey $0 SHCTX "${KEY}" 0
  ${If} ${Errors}
    StrCpy $MadeKeys "$MadeKeys${KEY}|"
  ${EndIf}
!macroend

!macro NoteOpenWithKeys EXT
  !insertmacro NoteNewKey "Software\Classes\${EXT}\OpenWithProgids"
  !insertmacro NoteNewKey "Software\Classes\${EXT}"
!macroend

!macro AddOpenWith EXT
  WriteRegNone SHCTX "Software\Classes\${EXT}\OpenWithProgids" "${PROGID}"
!macroend

Section
  ; What this install makes beyond its own folder and keys, to be removed again
  ; when nothing else has come into it: the highest folder above $INSTDIR it
  ; makes, and the keys above its values. An install over an earlier one in
  ; the same folder keeps what that one made.
  ReadRegStr $MadeKeys SHCTX "${UNINSTALL_KEY}" "${MADE_KEYS}"
  ReadRegStr $MadeFolder SHCTX "${UNINSTALL_KEY}" "${MADE_FOLDER}"
  ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != $INSTDIR
    StrCpy $MadeFolder ""
  ${EndIf}
  StrCpy $0 "$INSTDIR"
  ${Do}
    ${GetParent} $0 $0
    ${IfThen} $0 == "" ${|} ${Break} ${|}
    ${IfThen} ${FileExists} "$0\*.*" ${|} ${Break} ${|}
    StrCpy $MadeFolder $0
  ${Loop}
  !insertmacro ForEachExtension NoteOpenWithKeys
  !insertmacro NoteNewKey "Software\Classes"
  !insertmacro NoteNewKey "Software\Microsoft\Windows\CurrentVersion\Uninstall"

  SetOutPath "$INSTDIR"
  File "${DIST}\zerova.exe"
  File "${DIST}\zerova-window.exe"
  File "${DIST}\LICENSE.txt"
  File "${DIST}\README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The Start-menu entry; the window writes xmlstructure.xml into the folder it
  ; starts in: the user's documents.
  ${If} $Mode == all
    StrCpy $OUTDIR "%USERPROFILE%\Documents"
  ${Else}
    StrCpy $OUTDIR "$DOCUMENTS"
  ${EndIf}
  CreateShortCut "$SMPROGRAMS\Zerova.lnk" "$INSTDIR\zerova-window.exe" "" \
    "$INSTDIR\zerova-window.exe" 0 SW_SHOWNORMAL "" "Turn a worksheet into an XML document"
  SetOutPath "$INSTDIR"

  ; "Open with Zerova": a ProgID of its own, offered beside the extensions'
  ; default programs, never in their place.
  WriteRegStr SHCTX "Software\Classes\${PROGID}" "" "Spreadsheet"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\zerova-window.exe,0"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open" "FriendlyAppName" "Zerova"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open\command" "" \
    '"$INSTDIR\zerova-window.exe" "%1"'
  !insertmacro ForEachExtension AddOpenWith

  ; "Apps & features".
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Zerova"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zerova-window.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "${MADE_FOLDER}" $MadeFolder
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "${MADE_KEYS}" $MadeKeys

  ; SHCNE_ASSOCCHANGED: Explorer reads the associations again.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

; The mode whose registry names this folder; none (files alone) when neither does.
Function un.onInit
  StrCpy $Registered 1
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    StrCpy $Mode current
  ${ElseIf} $1 == $INSTDIR
    StrCpy $Mode all
    !insertmacro NeedAdmin
  ${Else}
    StrCpy $Mode current
    StrCpy $Registered 0
  ${EndIf}
  !insertmacro UseMode
FunctionEnd

!macro RemoveOpenWith EXT
  DeleteRegValue SHCTX "Software\Classes\${EXT}\OpenWithProgids" "${PROGID}"
!macroend

Section "Uninstall"
  Delete "$INSTDIR\zerova.exe"
  Delete "$INSTDIR\zerova-window.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\xmlstr.xml"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: a file of the user's keeps it, and the folders above it.
  RMDir "$INSTDIR"
  ${IfThen} $Registered != 1 ${|} Return ${|}

  ReadRegStr $MadeFolder SHCTX "${UNINSTALL_KEY}" "${MADE_FOLDER}"
  ReadRegStr $MadeKeys SHCTX "${UNINSTALL_KEY}" "${MADE_KEYS}"
  StrLen $1 $MadeFolder
  StrCpy $0 "$INSTDIR"
  ${DoWhile} $MadeFolder != ""
    ${GetParent} $0 $0
    StrCpy $2 $0 $1
    ${IfThen} $2 != $MadeFolder ${|} ${Break} ${|}
    ClearErrors
    RMDir $0
    ${IfThen} ${Errors} ${|} ${Break} ${|}
    ${IfThen} $0 == $MadeFolder ${|} ${Break} ${|}
  ${Loop}

  Delete "$SMPROGRAMS\Zerova.lnk"
  !insertmacro ForEachExtension RemoveOpenWith
  DeleteRegKey SHCTX "Software\Classes\${PROGID}"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ; The keys the install made, each only if nothing else has come into it.
  ${DoWhile} $MadeKeys != ""
    StrCpy $1 0
    ${Do}
      StrCpy $2 $MadeKeys 1 $1
      ${IfThen} $2 == "|" ${|} ${ExitDo} ${|}
      ${IfThen} $2 == "" ${|} ${ExitDo} ${|}
      IntOp $1 $1 + 1
    ${Loop}
    StrCpy $0 $MadeKeys $1
    IntOp $1 $1 + 1
    StrCpy $MadeKeys $MadeKeys "" $1
    ${IfThen} $0 != "" ${|} DeleteRegKey /ifempty SHCTX $0 ${|}
  ${Loop}
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
