; The setup program of QuenzoLite and its uninstaller (NSIS 3, Unicode, 64-bit).
; Built by installer/CMakeLists.txt, which passes:
;   VERSION          the product version, e.g. 1.0.0.1
;   VERSION4         the same with four numbers, for the version resource
;   OUTFILE          where the setup program goes
;   PROGRAM_<name>   the built <name>.exe for each program in QuenzoPrograms below that is built
;
; Switches: /S runs silently. The uninstaller keeps the settings when silent unless
; /REMOVESETTINGS is given; asked interactively, it asks.
; Exit codes: 0 done; 1 cancelled by the user; 2 aborted (a running copy would not end, or a
; file could not be written).

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "QuenzoLite"
!define PUBLISHER "Marrowick"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QuenzoLite"
!define UNINSTALLER "Uninstall.exe"
; The program finds its updater and writes its autostart entry under this fixed folder, so the
; setup offers no other.
!define INSTALL_FOLDER "$PROGRAMFILES64\Marrowick\QuenzoLite"
!define SHORTCUT "$SMPROGRAMS\QuenzoLite.lnk"
!define VERB_FILES "Software\Classes\*\shell\QuenzoLite.SecureDelete"
!define VERB_FOLDERS "Software\Classes\Directory\shell\QuenzoLite.SecureDelete"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define AUTOSTART_VALUE "Quenzo Light"
!define PRODUCT_KEY "Software\Marrowick\QuenzoLite"
!define SETTINGS_KEY "Software\Marrowick\QuenzoLite\Data"
; Where the program downloads its banners (a fixed path in the program, whatever the Windows folder).
!define BANNER_DOWNLOADS "C:\Windows\Temp"
; Where the update program downloads a setup program, which it deletes at its next start.
!define UPDATE_DOWNLOADS "$TEMP\QuenzoLiteUpdate"
; The autostart command, quoted: unquoted, Windows would try C:\Program.exe first.
!define AUTOSTART_COMMAND '"$INSTDIR\QuenzoLite.exe" trayOn'
!define EXIT_ABORTED 2

; The programs installed, one line each; the uninstaller removes exactly these names.
!macro QuenzoPrograms DO
  !insertmacro ${DO} QuenzoLite
  !insertmacro ${DO} UpdateQuenzoLite
  !insertmacro ${DO} QuenzoWipe
!macroend

; The files the program itself writes: three banner copies beside it, three downloads in the
; Windows temporary folder and the empty folder it makes there.
!macro QuenzoBannerFiles DO
  !insertmacro ${DO} "$INSTDIR\banner\banner1.bmp"
  !insertmacro ${DO} "$INSTDIR\banner\banner2.bmp"
  !insertmacro ${DO} "$INSTDIR\banner\banner3.bmp"
  !insertmacro ${DO} "${BANNER_DOWNLOADS}\banner1.bmp"
  !insertmacro ${DO} "${BANNER_DOWNLOADS}\banner2.bmp"
  !insertmacro ${DO} "${BANNER_DOWNLOADS}\banner3.bmp"
!macroend

; The product information the program writes at every start (its settings live in a subkey).
!macro QuenzoProductValues DO
  !insertmacro ${DO} "Company"
  !insertmacro ${DO} "Company Homepage"
  !insertmacro ${DO} "Quenzo Homepage"
  !insertmacro ${DO} "AppName"
  !insertmacro ${DO} "AppExecFileName"
  !insertmacro ${DO} "AppUpdateFileName"
  !insertmacro ${DO} "AppVersion"
!macroend

!macro InstallProgram NAME
  !ifdef PROGRAM_${NAME}
    File "/oname=${NAME}.exe" "${PROGRAM_${NAME}}"
  !endif
!macroend
!macro RemoveProgram NAME
  Delete "$INSTDIR\${NAME}.exe"
!macroend
!macro NoteProgramLeft NAME
  ${If} ${FileExists} "$INSTDIR\${NAME}.exe"
    StrCpy $1 1
  ${EndIf}
!macroend
!macro RemoveFile PATH
  Delete "${PATH}"
!macroend
!macro RemoveProductValue NAME
  DeleteRegValue HKCU "${PRODUCT_KEY}" "${NAME}"
!macroend
; The verb "QuenzoLite로 보안 삭제" on one kind of Explorer item: its command hands the item to
; the running copy (or starts one) with /add.
!macro WriteVerb KEY
  WriteRegStr HKCU "${KEY}" "" "QuenzoLite로 보안 삭제"
  WriteRegStr HKCU "${KEY}" "Icon" "$INSTDIR\QuenzoLite.exe"
  WriteRegStr HKCU "${KEY}" "MultiSelectModel" "Player"
  WriteRegStr HKCU "${KEY}\command" "" '"$INSTDIR\QuenzoLite.exe" /add "%1"'
!macroend

Name "Quenzo Lite"
OutFile "${OUTFILE}"
InstallDir "${INSTALL_FOLDER}"
BrandingText "${PUBLISHER}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"

!define MUI_ICON "${QUENZO_ICON}"
!define MUI_UNICON "${QUENZO_ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "QuenzoLite 실행"
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Korean"

VIAddVersionKey /LANG=${LANG_KOREAN} "ProductName" "Quenzo Lite"
VIAddVersionKey /LANG=${LANG_KOREAN} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_KOREAN} "FileDescription" "QuenzoLite 설치 프로그램"
VIAddVersionKey /LANG=${LANG_KOREAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_KOREAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_KOREAN} "LegalCopyright" "${PUBLISHER}"

; A running copy holds the mutex "QuenzoLite" for its whole life. Leaves 1 or 0 on the stack.
!macro DefineIsRunning UN
Function ${UN}IsRunning
  Push $0
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "QuenzoLite") p .r0'
  ${If} $0 P<> 0
    System::Call 'kernel32::CloseHandle(p r0)'
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
  Exch $0
FunctionEnd
!macroend
!insertmacro DefineIsRunning ""
!insertmacro DefineIsRunning "un."

; Makes sure no copy of the program runs before files are replaced or removed. Interactively the
; user closes it and retries; silently the installed program is asked to end through its own exit
; path (/close), which it refuses in the middle of a deletion. The process is never killed: ending
; it mid-wipe would leave a half-destroyed file. Ends the setup with EXIT_ABORTED (or 1 when the
; user cancels) if a copy still runs.
!macro DefineCloseRunningCopy UN
Function ${UN}CloseRunningCopy
  Push $0
  Push $1
  ${Do}
    Call ${UN}IsRunning
    Pop $0
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    ${If} ${Silent}
      ${IfNot} ${FileExists} "$INSTDIR\QuenzoLite.exe"
        SetErrorLevel ${EXIT_ABORTED}
        Quit
      ${EndIf}
      ; 0: no copy runs any more; 1: it refused (mid-deletion) or did not end.
      ExecWait '"$INSTDIR\QuenzoLite.exe" /close' $1
      ${If} $1 <> 0
        SetErrorLevel ${EXIT_ABORTED}
        Quit
      ${EndIf}
      ; The mutex goes with the process, a moment after /close has seen it end.
      ${Do}
        Call ${UN}IsRunning
        Pop $0
        ${If} $0 = 0
        ${OrIf} $1 >= 20
          ${Break}
        ${EndIf}
        Sleep 250
        IntOp $1 $1 + 1
      ${Loop}
      ${If} $0 = 1
        SetErrorLevel ${EXIT_ABORTED}
        Quit
      ${EndIf}
    ${Else}
      ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "QuenzoLite가 실행 중입니다.$\r$\n$\r$\n트레이 아이콘의 메뉴에서 프로그램을 종료한 뒤 [다시 시도]를 누르십시오." IDRETRY`
        SetErrorLevel 1
        Quit
      ${EndIf}
    ${EndIf}
  ${Loop}
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro DefineCloseRunningCopy ""
!insertmacro DefineCloseRunningCopy "un."

Function .onInit
  SetRegView 64
  SetShellVarContext all
  ; The folder is fixed (see INSTALL_FOLDER); /D= cannot move it.
  StrCpy $INSTDIR "${INSTALL_FOLDER}"
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

; Whether to remove the settings (the overwrite method and the others): asked interactively, kept
; by a silent uninstall unless /REMOVESETTINGS is given, so that a silent reinstall or upgrade
; finds them. Leaves 1 (remove) or 0 (keep) on the stack.
Function un.AskToRemoveSettings
  Push $0
  Push $1
  ${If} ${Silent}
    ${un.GetParameters} $0
    ClearErrors
    ${un.GetOptions} $0 "/REMOVESETTINGS" $1
    ${If} ${Errors}
      StrCpy $0 0
    ${Else}
      StrCpy $0 1
    ${EndIf}
  ${ElseIf} ${Cmd} `MessageBox MB_YESNO|MB_ICONQUESTION "QuenzoLite의 설정(삭제 방식 등)을 남겨 두시겠습니까?$\r$\n$\r$\n다시 설치하면 그 설정을 그대로 씁니다." IDYES`
    StrCpy $0 0
  ${Else}
    StrCpy $0 1
  ${EndIf}
  Pop $1
  Exch $0
FunctionEnd

; Started from its own folder, where it keeps its banner copies.
Function StartProgram
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\QuenzoLite.exe"'
FunctionEnd

Section "QuenzoLite" SecProgram
  SectionIn RO
  Call CloseRunningCopy
  SetOverwrite on
  ClearErrors
  SetOutPath "$INSTDIR"
  !insertmacro QuenzoPrograms InstallProgram
  CreateDirectory "$INSTDIR\banner"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  ${If} ${Errors}
    SetErrorLevel ${EXIT_ABORTED}
    Abort "QuenzoLite를 설치하지 못했습니다."
  ${EndIf}

  ; The working folder of a shortcut is the output folder at its creation.
  SetOutPath "$INSTDIR"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\QuenzoLite.exe" "" "$INSTDIR\QuenzoLite.exe" 0

  ; The Explorer verb is the user's, like everything else the program keeps in the registry.
  !insertmacro WriteVerb "${VERB_FILES}"
  !insertmacro WriteVerb "${VERB_FOLDERS}"

  ; The program writes its autostart entry at every start; one an earlier version wrote unquoted is
  ; repaired now, before the next sign-in would use it.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${AUTOSTART_VALUE}"
  ${If} $0 != ""
    WriteRegStr HKCU "${RUN_KEY}" "${AUTOSTART_VALUE}" '${AUTOSTART_COMMAND}'
  ${EndIf}

  ; Files live in the machine's Program Files, so their uninstall entry is the machine's too.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quenzo Lite"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\QuenzoLite.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes what the setup and the program put in the install folder, and the folders we made, each
; only when empty: a file of the user's own keeps the folder. A copy that has only just ended may
; still hold its program file, and a program that a copy started (a browser) may hold the folder as
; its current folder: while nothing but that keeps the folder, it is tried again for a few
; seconds, and an empty folder that is still held then goes at the next restart.
Function un.RemoveInstalledFiles
  Push $0
  Push $1
  Push $2
  StrCpy $0 0
  ${Do}
    !insertmacro QuenzoPrograms RemoveProgram
    !insertmacro QuenzoBannerFiles RemoveFile
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR\banner"
    RMDir "$INSTDIR"
    ; $2: -1 gone, 0 empty (held), 1 something left in it.
    ${un.DirState} "$INSTDIR" $2
    StrCpy $1 0
    !insertmacro QuenzoPrograms NoteProgramLeft
    ${If} ${FileExists} "$INSTDIR\${UNINSTALLER}"
      StrCpy $1 1
    ${EndIf}
    ${If} $2 = -1
    ${OrIf} $0 >= 20
      ${Break}
    ${EndIf}
    ${If} $2 = 1
    ${AndIf} $1 = 0
      ${Break}
    ${EndIf}
    Sleep 250
    IntOp $0 $0 + 1
  ${Loop}
  ${If} $2 = 0
    RMDir /REBOOTOK "$INSTDIR"
    RMDir /REBOOTOK "$PROGRAMFILES64\Marrowick"
  ${Else}
    RMDir "$PROGRAMFILES64\Marrowick"
  ${EndIf}
  RMDir "${BANNER_DOWNLOADS}\banner"
  Delete "${UPDATE_DOWNLOADS}\QuenzoLiteSetup-*.exe"
  Delete "${UPDATE_DOWNLOADS}\QuenzoLiteUpdate-*.part"
  RMDir "${UPDATE_DOWNLOADS}"
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

Section "un.QuenzoLite"
  Call un.CloseRunningCopy
  Call un.RemoveInstalledFiles
  Delete "${SHORTCUT}"

  DeleteRegKey HKCU "${VERB_FILES}"
  DeleteRegKey HKCU "${VERB_FOLDERS}"
  DeleteRegValue HKCU "${RUN_KEY}" "${AUTOSTART_VALUE}"
  !insertmacro QuenzoProductValues RemoveProductValue

  Call un.AskToRemoveSettings
  Pop $0
  ${If} $0 = 1
    DeleteRegKey HKCU "${SETTINGS_KEY}"
  ${EndIf}
  ; Only when nothing else of the user's is left there.
  DeleteRegKey /ifnosubkeys /ifnovalues HKCU "${PRODUCT_KEY}"
  DeleteRegKey /ifnosubkeys /ifnovalues HKCU "Software\Marrowick"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
