; Setup of Vantapicker: installs the program for all users, puts the default site
; catalogue into the Windows directory, registers the program and, on its own page,
; offers to start it at logon (silent setup: only with /LOGON). Uninstalling keeps each
; user's settings and edited site list.
;   makensis -DBIN_DIR=<folder with the built files> -DOUT_FILE=<setup.exe>
;            -DVERSION=<a.b.c> -DHOME_PAGE=<url> -DSUPPORT=<url>
;            [-DSIGN_CMAKE=<cmake> -DSIGN_SCRIPT=<tools/sign.cmake> -DSIGN_SETTINGS=<file>]
;            [-DX86_STUBS] Vantapicker.nsi
;
; An installed copy is upgraded where it is (the uninstall entry's InstallLocation), so
; there is only ever one copy and one entry. Nothing is changed before everything that
; can be checked is checked; what fails later is undone from a backup, so a failure
; leaves the previous installation (or nothing) and ends setup with its own exit code:
;   0 installed; 1 cancelled by the user (NSIS's own code, as is 2, an aborted script);
;   10 the program folder cannot be written;
;   11 the site catalogue in the Windows directory cannot be written;
;   12 the running Vantapicker does not end; 13 the program cannot be registered;
;   740 setup does not run with an administrator's rights (user account control off).
; The uninstaller ends with 0, 12, 13 or 740 likewise, and with 3010 when files still in
; use are removed at the next restart.
;
; Start at logon is each user's own choice (the Options dialog's check box, a value in
; the user's Run key that Task Manager can switch off). Setup sets it only for the
; account whose desktop it runs on: on a first GUI install the page offers it, /LOGON
; asks for it silently; an upgrade shows the current choice and keeps it. A copy that
; setup ended is started again afterwards, as that account. When setup runs as another
; account (an administrator who elevated it for a standard user, or SYSTEM under a
; deployment tool), neither happens: that account's own settings are not the user's.
;
; The hook library stays loaded in every application that received a message while the
; program ran, until that application ends. Such a file cannot be overwritten or deleted,
; but it can be renamed: setup moves it aside and has it deleted at the next restart, and
; the uninstaller leaves what it cannot delete now to the next restart.
; NSIS for Windows comes without the 64-bit stubs: setup is then a 32-bit program that
; writes into the 64-bit registry view and the 64-bit Program Files folder.
!ifndef X86_STUBS
  !if ! /FileExists "${NSISDIR}/Stubs/lzma_solid-amd64-unicode"
    !define X86_STUBS
  !endif
!endif
!ifdef X86_STUBS
  Target x86-unicode
!else
  Target amd64-unicode
!endif
Unicode true
SetCompressor /SOLID lzma

!include FileFunc.nsh
!include LogicLib.nsh

; Setup speaks the system's language when it has it (or the same language of another
; country), else English, the first one loaded.
!macro LANGUAGE NAME
  LoadLanguageFile "${NSISDIR}\Contrib\Language files\${NAME}.nlf"
!macroend
!insertmacro LANGUAGE English
!insertmacro LANGUAGE German
!insertmacro LANGUAGE French
!insertmacro LANGUAGE Spanish
!insertmacro LANGUAGE Italian
!insertmacro LANGUAGE PortugueseBR
!insertmacro LANGUAGE Russian
!insertmacro LANGUAGE Japanese
!insertmacro LANGUAGE SimpChinese
!include nsDialogs.nsh

!ifndef BIN_DIR
  !error "BIN_DIR must name the folder with Vantapicker.exe"
!endif
!ifndef OUT_FILE
  !define OUT_FILE "VantapickerSetup.exe"
!endif
!ifndef VERSION
  !error "VERSION must give the product's version, a.b.c"
!endif
!ifndef HOME_PAGE
  !error "HOME_PAGE must give the product's home page"
!endif
!ifndef SUPPORT
  !error "SUPPORT must give the maker's support address"
!endif
; The uninstaller is signed before setup carries it (setup itself is signed by the build
; afterwards, with the same script).
!ifdef SIGN_SCRIPT
  !uninstfinalize '"${SIGN_CMAKE}" "-DSETTINGS=${SIGN_SETTINGS}" -P "${SIGN_SCRIPT}" "%1"' = 0
!endif

!define PRODUCT "Vantapicker"
!define PUBLISHER "Quenhollow"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantapicker"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; Task Manager's marks of the Run values it switched off.
!define STARTUP_APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
!define MAIN_WINDOW_CLASS "QH_VantapickerHiddenWnd"
!define CATALOGUE "AvailableSites.qhsl"
!include "${__FILEDIR__}\Languages.nsh"

; Exit codes, as the header lists them.
!define EXIT_FOLDER 10
!define EXIT_CATALOGUE 11
!define EXIT_RUNNING 12
!define EXIT_REGISTRATION 13
!define EXIT_NOT_ADMIN 740  ; ERROR_ELEVATION_REQUIRED
!define EXIT_RESTART 3010   ; ERROR_SUCCESS_REBOOT_REQUIRED

; The files of the program folder, for installing, backing up and removing them. A file
; beside the hook library is one more line here.
!macro FOR_EACH_PROGRAM_FILE ACTION
  !insertmacro ${ACTION} "Vantapicker.exe"
  !insertmacro ${ACTION} "VPHook.dll"
  ; The hook for 32-bit applications and its host, which ends with the program.
  !insertmacro ${ACTION} "VPHook32.dll"
  !insertmacro ${ACTION} "VPHookHost32.exe"
  !insertmacro ${ACTION} "UserGuide.html"
  !insertmacro ${ACTION} "LICENSE.txt"
  !insertmacro ${ACTION} "THIRD-PARTY-NOTICES.txt"
!macroend

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\Quenhollow\Vantapicker"
RequestExecutionLevel admin
ManifestDPIAware true
Icon "../resources/pictures/Program.ico"
UninstallIcon "../resources/pictures/Program.ico"
ShowInstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "Copyright (C) ${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "FileVersion" "${VERSION}.0"
VIAddVersionKey "ProductVersion" "${VERSION}.0"

; 1: start the program at logon; 0: do not; empty: leave the current choice alone
; (silent setup without /LOGON).
Var StartAtLogon
Var LogonCheckBox
Var Upgrade           ; 1: an installed copy is upgraded in its folder
Var WasRunning        ; 1: setup ended a running copy, which is started again
Var StartCheckBox
Var StartAfterwards   ; 1: the finish page's "Start Vantapicker" stays ticked
Var CreatedFolder     ; 1: setup made the program folder
Var HadCatalogue      ; 1: a catalogue was there before, and is backed up
Var Writing           ; 1: setup has begun to write files, which a failure undoes
Var Failed            ; 1: setup failed, and the finish page is not shown
Var RunningResult
Var DesktopUser       ; 1: setup runs as the account whose desktop shows it

Page directory DirectoryPageSkip
Page custom LogonPageShow LogonPageLeave
Page instfiles
Page custom FinishPageShow FinishPageLeave
UninstPage uninstConfirm
UninstPage instfiles

; What setup and the uninstaller do first: a 32-bit setup turns to the 64-bit registry
; view; then, as both write for all users, they end at once without an administrator's
; rights (a standard user with user account control off gets none), not late with a
; failure.
!macro START TEXT
  !ifdef X86_STUBS
    SetRegView 64
  !endif
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "${TEXT}" /SD IDOK
    SetErrorLevel ${EXIT_NOT_ADMIN}
    Quit
  ${EndIf}
!macroend

; Sets $DesktopUser to 1 when setup runs as the account that owns this desktop's shell
; (the task bar's process), else to 0: as an administrator who elevated it for a standard
; user, or as SYSTEM, which has no shell.
Function FindDesktopUser
  StrCpy $DesktopUser 0
  System::Call 'user32::GetShellWindow() p .r0'
  ${If} $0 P= 0
    System::Call 'user32::FindWindowW(w "Shell_TrayWnd", p 0) p .r0'
  ${EndIf}
  ${If} $0 P= 0
    Return
  ${EndIf}
  System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
  System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i r1) p .r2'  ; PROCESS_QUERY_LIMITED_INFORMATION
  ${If} $2 P= 0
    Return
  ${EndIf}
  System::Call 'advapi32::OpenProcessToken(p r2, i 8, *p .r3)'  ; TOKEN_QUERY
  System::Call 'kernel32::CloseHandle(p r2)'
  System::Call 'advapi32::OpenProcessToken(p -1, i 8, *p .r4)'
  System::Alloc 256
  Pop $5
  System::Alloc 256
  Pop $6
  ; TokenUser: a TOKEN_USER, whose first member points at the account's SID.
  System::Call 'advapi32::GetTokenInformation(p r3, i 1, p r5, i 256, *i .r7) i .r8'
  System::Call 'advapi32::GetTokenInformation(p r4, i 1, p r6, i 256, *i .r7) i .r9'
  ${If} $8 <> 0
  ${AndIf} $9 <> 0
    System::Call '*$5(p .r7)'
    System::Call '*$6(p .r8)'
    System::Call 'advapi32::EqualSid(p r7, p r8) i .r9'
    ${If} $9 <> 0
      StrCpy $DesktopUser 1
    ${EndIf}
  ${EndIf}
  System::Free $5
  System::Free $6
  System::Call 'kernel32::CloseHandle(p r3)'
  System::Call 'kernel32::CloseHandle(p r4)'
FunctionEnd

; Sets $0 to 1 when this user's Run value is set and Task Manager has not switched it off
; (its mark's first byte is odd when it did), else to 0.
Function ReadStartAtLogon
  StrCpy $0 0
  ReadRegStr $1 HKCU "${RUN_KEY}" "Vantapicker.exe"
  ${If} $1 == ""
    Return
  ${EndIf}
  StrCpy $0 1
  System::Alloc 16
  Pop $2
  System::Call 'advapi32::RegGetValueW(p 0x80000001, w "${STARTUP_APPROVED_KEY}", w "Vantapicker.exe", i 0x8, p 0, p r2, *i 16) i .r1'  ; HKCU, RRF_RT_REG_BINARY
  ${If} $1 = 0
    System::Call '*$2(&i1 .r1)'
    IntOp $1 $1 & 1
    ${If} $1 = 1
      StrCpy $0 0
    ${EndIf}
  ${EndIf}
  System::Free $2
FunctionEnd

Function .onInit
  !insertmacro START "$(NOT_ADMIN_SETUP)"
  Call FindDesktopUser
  SetShellVarContext all
  StrCpy $Failed 0
  StrCpy $Upgrade 0
  StrCpy $WasRunning 0
  StrCpy $StartAfterwards 1
  ; An installed copy is upgraded in its own folder, whatever /D= or the page says.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\Vantapicker.exe"
    StrCpy $INSTDIR $0
    StrCpy $Upgrade 1
  ${EndIf}

  StrCpy $StartAtLogon ""
  ${IfNot} ${Silent}
    ${If} $Upgrade == 1
      ; The page shows this user's current choice.
      Call ReadStartAtLogon
      StrCpy $StartAtLogon $0
    ${Else}
      StrCpy $StartAtLogon 1  ; a first install offers it ticked
    ${EndIf}
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/LOGON" $1
  ${IfNot} ${Errors}
    StrCpy $StartAtLogon 1
  ${EndIf}
FunctionEnd

Function DirectoryPageSkip
  ${If} $Upgrade == 1
    Abort  ; the folder is the installed one
  ${EndIf}
FunctionEnd

Function LogonPageShow
  ${If} $DesktopUser == 0
    Abort  ; the choice is the desktop's user's, not setup's account's
  ${EndIf}
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 24u "$(LOGON_TEXT)"
  Pop $0
  ${NSD_CreateCheckBox} 0 32u 100% 12u "$(LOGON_CHECK)"
  Pop $LogonCheckBox
  ${If} $StartAtLogon == 1
    ${NSD_Check} $LogonCheckBox
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function LogonPageLeave
  ${NSD_GetState} $LogonCheckBox $0
  StrCpy $StartAtLogon 0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $StartAtLogon 1
  ${EndIf}
FunctionEnd

Function FinishPageShow
  ${If} $Failed == 1
    Abort
  ${EndIf}
  GetDlgItem $0 $HWNDPARENT 1
  SendMessage $0 ${WM_SETTEXT} 0 "STR:$(FINISH_BUTTON)"
  GetDlgItem $0 $HWNDPARENT 2
  EnableWindow $0 0
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 24u "$(FINISHED)"
  Pop $0
  ${If} $DesktopUser == 1
    ${NSD_CreateCheckBox} 0 32u 100% 12u "$(START_CHECK)"
    Pop $StartCheckBox
    ${NSD_Check} $StartCheckBox
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function FinishPageLeave
  ${If} $DesktopUser == 1
    ${NSD_GetState} $StartCheckBox $0
    ${If} $0 == ${BST_CHECKED}
      Call StartProgram
    ${EndIf}
  ${EndIf}
FunctionEnd

; Starts the installed program as the user who logged on, not with setup's elevated
; rights: Windows' shell starts it. Wine has no elevation, and its shell would show the
; folder instead, so there the program is started directly.
Function StartProgram
  ClearErrors
  ReadRegStr $0 HKLM "Software\Wine" ""
  ${If} ${Errors}
    Exec '"$WINDIR\explorer.exe" "$INSTDIR\Vantapicker.exe"'
  ${Else}
    Exec '"$INSTDIR\Vantapicker.exe"'
  ${EndIf}
FunctionEnd

; Ends the Vantapicker of this session (the one whose window this desktop shows) as its
; own Exit does: a quit message stores its state. Its process is waited for; after five
; seconds that process, and no other, is ended by force. Sets $RunningResult to 1 when a
; copy ran and ended, 0 when none ran, or -1 when it does not end.
!macro END_RUNNING_PROGRAM prefix
Function ${prefix}EndRunningProgram
  StrCpy $RunningResult 0
  FindWindow $R0 "${MAIN_WINDOW_CLASS}"
  ${If} $R0 != 0
    StrCpy $RunningResult 1
    System::Call 'user32::GetWindowThreadProcessId(p $R0, *i .R1)'
    System::Call 'kernel32::OpenProcess(i 0x00100001, i 0, i $R1) p .R2'  ; SYNCHRONIZE | PROCESS_TERMINATE
    System::Call 'user32::PostMessageW(p $R0, i 0x0012, p 0, p 0)'         ; WM_QUIT
    ${If} $R2 != 0
      System::Call 'kernel32::WaitForSingleObject(p $R2, i 5000) i .R1'
      ${If} $R1 != 0
        System::Call 'kernel32::TerminateProcess(p $R2, i 1)'
        System::Call 'kernel32::WaitForSingleObject(p $R2, i 5000) i .R1'
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p $R2)'
    ${Else}
      ; Not ours to open: wait for its window to go.
      StrCpy $R2 0
      ${DoUntil} $R2 >= 50
        Sleep 100
        IntOp $R2 $R2 + 1
        System::Call 'user32::IsWindow(p $R0) i .R1'
        ${If} $R1 == 0
          ${ExitDo}
        ${EndIf}
      ${Loop}
    ${EndIf}
    ${If} $R1 != 0
      StrCpy $RunningResult -1
    ${EndIf}
  ${EndIf}
FunctionEnd
!macroend
!insertmacro END_RUNNING_PROGRAM ""
!insertmacro END_RUNNING_PROGRAM "un."

; Clears the way for a new copy of $INSTDIR\<name on the stack>: deletes the current
; file, or, when another program still has it loaded, renames it to <name>.old<n> (a
; name no earlier upgrade left behind) and has that file deleted at the next restart.
Function MakeRoomFor
  Exch $R0
  Push $R1
  Push $R2
  IfFileExists "$INSTDIR\$R0" 0 done
  ClearErrors
  Delete "$INSTDIR\$R0"
  IfErrors 0 done
  StrCpy $R2 1
free_name:
  StrCpy $R1 "$INSTDIR\$R0.old$R2"
  IfFileExists "$R1" 0 +3
    IntOp $R2 $R2 + 1
    Goto free_name
  ClearErrors
  Rename "$INSTDIR\$R0" "$R1"
  IfErrors done  ; not even renamed: writing over it in place is the last try
  DetailPrint "$(MOVED_ASIDE)"
  Delete /REBOOTOK "$R1"
done:
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd

!macro BACK_UP_FILE NAME
  CopyFiles /SILENT "$INSTDIR\${NAME}" "$PLUGINSDIR\backup"
!macroend
!macro REMOVE_FILE NAME
  Delete "$INSTDIR\${NAME}"
!macroend

; Keeps a copy of what an upgrade replaces, so that a failure can put it back.
Function BackUpOldInstall
  CreateDirectory "$PLUGINSDIR\backup\images"
  ${If} $Upgrade == 1
    !insertmacro FOR_EACH_PROGRAM_FILE BACK_UP_FILE
    CopyFiles /SILENT "$INSTDIR\images\*.png" "$PLUGINSDIR\backup\images"
  ${EndIf}
  ${If} $HadCatalogue == 1
    CopyFiles /SILENT "$WINDIR\${CATALOGUE}" "$PLUGINSDIR\backup.qhsl"
  ${EndIf}
FunctionEnd

; Undoes what setup wrote: the previous installation comes back, or, on a first
; install, nothing stays. A copy that setup ended runs again.
Function RestoreOldInstall
  SetOverwrite on
  ${If} $Writing == 1
    ${If} $Upgrade == 1
      CopyFiles /SILENT "$PLUGINSDIR\backup\*.*" "$INSTDIR"
    ${Else}
      !insertmacro FOR_EACH_PROGRAM_FILE REMOVE_FILE
      Delete "$INSTDIR\images\*.png"
      RMDir "$INSTDIR\images"
    ${EndIf}
    ${If} $HadCatalogue == 1
      CopyFiles /SILENT "$PLUGINSDIR\backup.qhsl" "$WINDIR\${CATALOGUE}"
    ${Else}
      Delete "$WINDIR\${CATALOGUE}"
    ${EndIf}
  ${EndIf}
  ${If} $CreatedFolder == 1
    SetOutPath "$TEMP"
    RMDir "$INSTDIR"
  ${EndIf}
  ${If} $WasRunning == 1
  ${AndIf} $DesktopUser == 1
    Call StartProgram
  ${EndIf}
FunctionEnd

; Ends setup with the exit code on the stack and the text below it: a message says why
; (unless silent), and what setup wrote is undone.
Function Fail
  Exch $R0  ; exit code
  Exch
  Exch $R1  ; text
  MessageBox MB_OK|MB_ICONSTOP "$R1" /SD IDOK
  StrCpy $Failed 1
  Call RestoreOldInstall
  SetErrorLevel $R0
  Abort "$R1"
FunctionEnd
!macro FAIL CODE TEXT
  Push "${TEXT}"
  Push ${CODE}
  Call Fail
!macroend
!define CANNOT_WRITE "$(CANNOT_WRITE)"
!define CLOSE_AND_RETRY "$(CLOSE_AND_RETRY)"

; Puts the built file NAME into $INSTDIR, even when the current copy is in use; a file
; that cannot be written at all fails setup.
!macro PUT_PROGRAM_FILE NAME
  Push "${NAME}"
  Call MakeRoomFor
  ClearErrors
  File "${BIN_DIR}\${NAME}"
  ${If} ${Errors}
    !insertmacro FAIL ${EXIT_FOLDER} "${CANNOT_WRITE} $INSTDIR\${NAME}.$\r$\n$\r$\n${CLOSE_AND_RETRY}"
  ${EndIf}
!macroend

; Sets $1 to 1 when the file can be opened for writing (it is created, and removed
; again, when it does not exist), else to 0.
!macro CHECK_WRITABLE PATH
  StrCpy $1 0
  StrCpy $2 0
  ${If} ${FileExists} "${PATH}"
    StrCpy $2 1
  ${EndIf}
  ClearErrors
  FileOpen $0 "${PATH}" a
  ${IfNot} ${Errors}
    StrCpy $1 1
    FileClose $0
    ${If} $2 == 0
      Delete "${PATH}"
    ${EndIf}
  ${EndIf}
!macroend

Section "Vantapicker"
  InitPluginsDir
  StrCpy $CreatedFolder 0
  StrCpy $HadCatalogue 0
  StrCpy $Writing 0
  StrCpy $Failed 0

  ; Everything that can be checked before anything changes.
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    StrCpy $CreatedFolder 1
  ${EndIf}
  CreateDirectory "$INSTDIR"
  !insertmacro CHECK_WRITABLE "$INSTDIR\Vantapicker.setup"
  ${If} $1 == 0
    !insertmacro FAIL ${EXIT_FOLDER} "${CANNOT_WRITE} $INSTDIR.$\r$\n$\r$\n${CLOSE_AND_RETRY}"
  ${EndIf}
  ${If} ${FileExists} "$WINDIR\${CATALOGUE}"
    StrCpy $HadCatalogue 1
  ${EndIf}
  !insertmacro CHECK_WRITABLE "$WINDIR\${CATALOGUE}"
  ${If} $1 == 0
    !insertmacro FAIL ${EXIT_CATALOGUE} "${CANNOT_WRITE} $WINDIR\${CATALOGUE}.$\r$\n$\r$\n$(MAKE_WRITABLE)"
  ${EndIf}

  ; A running copy holds the program file and the hook library: end it.
  Call EndRunningProgram
  ${If} $RunningResult == -1
    !insertmacro FAIL ${EXIT_RUNNING} "$(NOT_ENDING_SETUP)"
  ${EndIf}
  StrCpy $WasRunning $RunningResult

  Call BackUpOldInstall
  StrCpy $Writing 1
  SetOverwrite try  ; a file that cannot be written sets the error flag, no question
  SetOutPath "$WINDIR"
  ClearErrors
  File "${BIN_DIR}\${CATALOGUE}"
  ${If} ${Errors}
    !insertmacro FAIL ${EXIT_CATALOGUE} "${CANNOT_WRITE} $WINDIR\${CATALOGUE}.$\r$\n$\r$\n$(MAKE_WRITABLE)"
  ${EndIf}
  SetOutPath "$INSTDIR"
  !insertmacro FOR_EACH_PROGRAM_FILE PUT_PROGRAM_FILE
  SetOutPath "$INSTDIR\images"  ; the user guide's pictures
  ClearErrors
  File "${BIN_DIR}\images\*.png"
  ${If} ${Errors}
    !insertmacro FAIL ${EXIT_FOLDER} "${CANNOT_WRITE} $INSTDIR\images.$\r$\n$\r$\n${CLOSE_AND_RETRY}"
  ${EndIf}
  SetOverwrite on
  SetOutPath "$INSTDIR"

  ClearErrors
  ExecWait '"$INSTDIR\Vantapicker.exe" -RegServer' $0
  ${If} ${Errors}
  ${OrIf} $0 != 0
    !insertmacro FAIL ${EXIT_REGISTRATION} "$(CANNOT_REGISTER)"
  ${EndIf}

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  !searchparse "${VERSION}" "" VERSION_MAJOR "." VERSION_MINOR "."
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_MAJOR}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_MINOR}
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${HOME_PAGE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "HelpLink" "${SUPPORT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vantapicker.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; The shortcut is every user's; earlier versions put it into one user's menu.
  SetShellVarContext current
  Delete "$SMPROGRAMS\Vantapicker.lnk"
  SetShellVarContext all
  CreateShortCut "$SMPROGRAMS\Vantapicker.lnk" "$INSTDIR\Vantapicker.exe"

  ; A value that Task Manager switched off would start nothing: its mark goes with it.
  ${If} $DesktopUser == 1
    ${If} $StartAtLogon == 1
      WriteRegStr HKCU "${RUN_KEY}" "Vantapicker.exe" '"$INSTDIR\Vantapicker.exe"'
      DeleteRegValue HKCU "${STARTUP_APPROVED_KEY}" "Vantapicker.exe"
    ${ElseIf} $StartAtLogon == 0
      DeleteRegValue HKCU "${RUN_KEY}" "Vantapicker.exe"
      DeleteRegValue HKCU "${STARTUP_APPROVED_KEY}" "Vantapicker.exe"
    ${EndIf}
  ${EndIf}

  ; A copy that setup ended runs again; the GUI asks on its finish page instead.
  ${If} ${Silent}
  ${AndIf} $WasRunning == 1
  ${AndIf} $DesktopUser == 1
    Call StartProgram
  ${EndIf}
SectionEnd

!macro UN_REMOVE_FILE NAME
  Delete /REBOOTOK "$INSTDIR\${NAME}"
  Delete /REBOOTOK "$INSTDIR\${NAME}.old*"  ; moved aside by upgrades
!macroend

Function un.onInit
  !insertmacro START "$(NOT_ADMIN_UNINSTALL)"
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  Call un.EndRunningProgram
  ${If} $RunningResult == -1
    MessageBox MB_OK|MB_ICONSTOP "$(NOT_ENDING_UNINSTALL)" /SD IDOK
    SetErrorLevel ${EXIT_RUNNING}
    Abort
  ${EndIf}
  ClearErrors
  ExecWait '"$INSTDIR\Vantapicker.exe" -UnregServer' $1
  ${If} ${Errors}
  ${OrIf} $1 != 0
    DetailPrint "$(NOT_UNREGISTERED)"
    SetErrorLevel ${EXIT_REGISTRATION}  ; the files go all the same
  ${EndIf}
  ; What other programs still have loaded goes at the next restart.
  !insertmacro FOR_EACH_PROGRAM_FILE UN_REMOVE_FILE
  Delete /REBOOTOK "$INSTDIR\images\*.png"
  RMDir /REBOOTOK "$INSTDIR\images"
  Delete /REBOOTOK "$INSTDIR\Uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
  ; The maker's folder under Program Files goes with its last program.
  StrCmp "$INSTDIR" "$PROGRAMFILES64\Quenhollow\Vantapicker" 0 maker_done
    IfRebootFlag 0 +3
      RMDir /REBOOTOK "$PROGRAMFILES64\Quenhollow"
      Goto maker_done
    RMDir "$PROGRAMFILES64\Quenhollow"
maker_done:
  Delete /REBOOTOK "$WINDIR\${CATALOGUE}"
  Delete "$SMPROGRAMS\Vantapicker.lnk"
  ; This user's logon value; other users' values stay, and start nothing.
  DeleteRegValue HKCU "${RUN_KEY}" "Vantapicker.exe"
  DeleteRegValue HKCU "${STARTUP_APPROVED_KEY}" "Vantapicker.exe"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The user's settings and edited site list stay for a later installation.
  ${If} ${RebootFlag}
    DetailPrint "$(REBOOT_DETAIL)"
    MessageBox MB_OK|MB_ICONINFORMATION "$(REBOOT_BOX)" /SD IDOK
    GetErrorLevel $0
    ${If} $0 <= 0  ; no failure set it
      SetErrorLevel ${EXIT_RESTART}
    ${EndIf}
  ${EndIf}
SectionEnd
