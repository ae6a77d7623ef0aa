; Tessel's Windows installer: a welcome, the licence, the choice to put Tessel on the user's PATH
; (on unless unticked, or "/NOPATH" with "/S"), the folder, and "Run Tessel" at the end; the
; program's files go into Program Files with a Start menu entry and an uninstaller with its
; Add/Remove Programs entry. "/S" installs, and uninstalls, silently. The uninstaller will not run
; while Tessel does (silently it fails with exit code 2; run it as "uninstall.exe /S _?=FOLDER" to
; see its exit code), and takes the folder out of the PATH again. makensis is given VERSION,
; OUTFILE, ICON, LICENCE and FILES (the generated file lists) with -D.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include WinMessages.nsh
!include "${FILES}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessel"
!define PUBLISHER "Tessel Bench Tools"
; The user's own environment, whose "Path" a new command prompt adds to the system's.
!define ENVIRONMENT "Environment"

Name "Tessel ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tessel"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey ProductName "Tessel"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "Tessel ${VERSION} setup"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey LegalCopyright "2026 ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENCE}"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Run Tessel"
!define MUI_FINISHPAGE_RUN_FUNCTION RunTessel
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; --- the user's PATH ------------------------------------------------------------------------------
; NSIS strings hold NSIS_MAX_STRLEN characters: a PATH that does not fit is left as it is (a cut
; one written back would lose the rest), and so is one that cannot be read.

; $R0: the user's PATH, "" when there is none; $R1: 1 when it can be changed.
!macro TESSEL_READ_PATH un
Function ${un}ReadPath
  StrCpy $R1 1
  ClearErrors
  ReadRegStr $R0 HKCU "${ENVIRONMENT}" "Path"
  ${IfNot} ${Errors}
    Return
  ${EndIf}
  ; An error: no "Path" at all, or one too long to read.
  StrCpy $R0 ""
  StrCpy $R2 0
  ${Do}
    EnumRegValue $R3 HKCU "${ENVIRONMENT}" $R2
    ${IfThen} $R3 == "" ${|} ${ExitDo} ${|}
    ${If} $R3 == "Path"
      StrCpy $R1 0
      ${ExitDo}
    ${EndIf}
    IntOp $R2 $R2 + 1
  ${Loop}
FunctionEnd
!macroend
!insertmacro TESSEL_READ_PATH ""
!insertmacro TESSEL_READ_PATH "un."

; $R0 (a PATH) without its entries naming the install folder; $R1: 1 when it had one. Entries
; compare without regard to case, as Windows does; the others stay as they are.
!macro TESSEL_PATH_WITHOUT_FOLDER un
Function ${un}PathWithoutFolder
  StrCpy $R2 $R0 ; the entries not yet looked at
  StrCpy $R0 ""
  StrCpy $R1 0
  StrCpy $R5 0 ; 1 once $R0 holds an entry
  ${DoWhile} $R2 != ""
    StrCpy $R3 0
    ${Do}
      StrCpy $R4 $R2 1 $R3
      ${IfThen} $R4 == "" ${|} ${ExitDo} ${|}
      ${IfThen} $R4 == ";" ${|} ${ExitDo} ${|}
      IntOp $R3 $R3 + 1
    ${Loop}
    StrCpy $R4 $R2 $R3
    IntOp $R3 $R3 + 1
    StrCpy $R2 $R2 "" $R3
    ${If} $R4 == "$INSTDIR"
    ${OrIf} $R4 == "$INSTDIR\"
      StrCpy $R1 1
    ${Else}
      ${If} $R5 == 1
        StrCpy $R0 "$R0;$R4"
      ${Else}
        StrCpy $R0 $R4
        StrCpy $R5 1
      ${EndIf}
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend
!insertmacro TESSEL_PATH_WITHOUT_FOLDER ""
!insertmacro TESSEL_PATH_WITHOUT_FOLDER "un."

; Tells the shell, so that a command prompt started from it from now on sees the new PATH.
!macro TESSEL_PATH_CHANGED
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:${ENVIRONMENT}" /TIMEOUT=1000
!macroend

Function AddToPath
  Call ReadPath
  ${If} $R1 == 0
    DetailPrint "Your PATH is too long to change here: add $INSTDIR to it yourself."
    Return
  ${EndIf}
  StrCpy $R6 $R0
  Call PathWithoutFolder
  ${IfThen} $R1 == 1 ${|} Return ${|}
  StrLen $R2 "$R6;$INSTDIR"
  ${If} $R2 >= ${NSIS_MAX_STRLEN}
    DetailPrint "Your PATH is too long to change here: add $INSTDIR to it yourself."
    Return
  ${EndIf}
  ${If} $R6 == ""
    StrCpy $R6 "$INSTDIR"
  ${Else}
    StrCpy $R6 "$R6;$INSTDIR"
  ${EndIf}
  WriteRegExpandStr HKCU "${ENVIRONMENT}" "Path" $R6
  DetailPrint "Added $INSTDIR to your PATH: 'tessel' runs in a new command prompt."
  !insertmacro TESSEL_PATH_CHANGED
FunctionEnd

Function un.RemoveFromPath
  Call un.ReadPath
  ${IfThen} $R1 == 0 ${|} Return ${|}
  Call un.PathWithoutFolder
  ${IfThen} $R1 == 0 ${|} Return ${|}
  ${If} $R0 == ""
    DeleteRegValue HKCU "${ENVIRONMENT}" "Path"
  ${Else}
    WriteRegExpandStr HKCU "${ENVIRONMENT}" "Path" $R0
  ${EndIf}
  !insertmacro TESSEL_PATH_CHANGED
FunctionEnd

; --- installing -----------------------------------------------------------------------------------

Section "Tessel" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  !insertmacro TESSEL_INSTALL_FILES
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Tessel.lnk" "$INSTDIR\${TESSEL_PROGRAM}" "" "$INSTDIR\${TESSEL_ICON}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tessel"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${TESSEL_ICON}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "HelpLink" "$INSTDIR\README.txt"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Add Tessel to your PATH (command prompt)" SecPath
  Call AddToPath
SectionEnd

; For every user: the Start menu entry goes to the common programs folder. "/NOPATH" leaves the
; PATH alone.
Function .onInit
  SetShellVarContext all
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOPATH" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecPath} 0
  ${EndIf}
FunctionEnd

; Through Explorer: the program runs as the user who logged on, not with the installer's
; administrator rights (its settings then land in that user's folder).
Function RunTessel
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\${TESSEL_PROGRAM}"'
FunctionEnd

; --- uninstalling ---------------------------------------------------------------------------------

; $R0: 1 while a Tessel program of this folder runs (the system keeps a running program's file
; from being opened for writing).
Function un.TesselRunning
  StrCpy $R0 0
  ${ForEach} $R1 0 1 + 1
    ${If} $R1 == 0
      StrCpy $R2 "$INSTDIR\${TESSEL_PROGRAM}"
    ${Else}
      StrCpy $R2 "$INSTDIR\${TESSEL_CONSOLE}"
    ${EndIf}
    ${IfNotThen} ${FileExists} $R2 ${|} ${Continue} ${|}
    ClearErrors
    FileOpen $R3 $R2 a
    ${If} ${Errors}
      StrCpy $R0 1
    ${Else}
      FileClose $R3
    ${EndIf}
  ${Next}
FunctionEnd

; Nothing is removed while Tessel runs: its files would stay behind with nothing left to remove
; them. Silently the answer is Cancel, and the uninstaller ends with exit code 2.
Function un.onInit
  SetShellVarContext all
  again:
  Call un.TesselRunning
  ${If} $R0 == 1
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Tessel is running. Close its windows and commands, then click Retry." /SD IDCANCEL IDRETRY again
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd

; Only what the installer put there: the user's settings in %APPDATA%\Tessel stay, and a folder
; the user added files to stays with them.
Section Uninstall
  !insertmacro TESSEL_DELETE_FILES
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tessel.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Call un.RemoveFromPath
SectionEnd
