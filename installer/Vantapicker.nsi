; Setup of Vantapicker: installs the program for all users, puts the default site
; catalogue into the Windows directory, registers the program and, on its own page,
; offers to start it at logon (silent setup: only with /LOGON). Uninstalling keeps each
; user's settings and edited site list.
;   makensis -DBIN_DIR=<folder with the built files> -DOUT_FILE=<setup.exe> Vantapicker.nsi
;
; The hook library stays loaded in every application that received a message while the
; program ran, until that application ends. Such a file cannot be overwritten or deleted,
; but it can be renamed: setup moves it aside and has it deleted at the next restart, and
; the uninstaller leaves what it cannot delete now to the next restart.
Target amd64-unicode
Unicode true
SetCompressor /SOLID lzma

!include FileFunc.nsh
!include nsDialogs.nsh

!ifndef BIN_DIR
  !error "BIN_DIR must name the folder with Vantapicker.exe"
!endif
!ifndef OUT_FILE
  !define OUT_FILE "VantapickerSetup.exe"
!endif

!define PRODUCT "Vantapicker"
!define PUBLISHER "Quenhollow"
!define HOME_PAGE "https://www.quenhollow.example/vantapicker/"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantapicker"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define MAIN_WINDOW_CLASS "QH_VantapickerHiddenWnd"

; The version comes from the program's own version resource.
!getdllversion "${BIN_DIR}\Vantapicker.exe" VP_VERSION_
!define VERSION "${VP_VERSION_1}.${VP_VERSION_2}.${VP_VERSION_3}.${VP_VERSION_4}"

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\Quenhollow\Vantapicker"
RequestExecutionLevel admin
ShowInstDetails nevershow

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "Copyright (C) ${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"

; 1: start the program at logon; 0: do not; empty: leave the current choice alone
; (silent setup without /LOGON).
Var StartAtLogon
Var LogonCheckBox

Page directory
Page custom LogonPageShow LogonPageLeave
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  StrCpy $StartAtLogon ""
  IfSilent +2
    StrCpy $StartAtLogon 1  ; the page shows the offer ticked
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/LOGON" $1
  IfErrors +2
    StrCpy $StartAtLogon 1
FunctionEnd

Function LogonPageShow
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 24u "Vantapicker works from the notification area of the task bar. It can start by itself each time you log on."
  Pop $0
  ${NSD_CreateCheckBox} 0 32u 100% 12u "&Start Vantapicker when I log on"
  Pop $LogonCheckBox
  StrCmp $StartAtLogon 1 0 +2
    ${NSD_Check} $LogonCheckBox
  nsDialogs::Show
FunctionEnd

Function LogonPageLeave
  ${NSD_GetState} $LogonCheckBox $0
  StrCpy $StartAtLogon 0
  StrCmp $0 ${BST_CHECKED} 0 +2
    StrCpy $StartAtLogon 1
FunctionEnd

; Ends a running Vantapicker as its own Exit does (a quit message: triggers off, state
; stored) and waits for the process; after five seconds it is ended by force.
!macro END_RUNNING_PROGRAM prefix
Function ${prefix}EndRunningProgram
  FindWindow $0 "${MAIN_WINDOW_CLASS}"
  StrCmp $0 0 done
  System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
  System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2'  ; SYNCHRONIZE
  System::Call 'user32::PostMessageW(p r0, i 0x0012, p 0, p 0)'         ; WM_QUIT
  System::Call 'kernel32::WaitForSingleObject(p r2, i 5000) i .r3'
  System::Call 'kernel32::CloseHandle(p r2)'
  StrCmp $3 0 done
  nsExec::Exec '"$SYSDIR\taskkill.exe" /F /IM Vantapicker.exe'
  Pop $0
  Sleep 500
done:
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
  DetailPrint "$R0 is in use by another program: moved aside until the next restart"
  Delete /REBOOTOK "$R1"
done:
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd

; Ends setup with a failure: the exit code is 2 and, unless silent, a message says why.
Function FailToWrite
  Exch $R0
  MessageBox MB_OK|MB_ICONSTOP "Setup cannot write $R0.$\r$\n$\r$\nClose the programs that use it, or choose another folder, and run setup again." /SD IDOK
  SetErrorLevel 2
  Abort "Cannot write $R0"
FunctionEnd

; Puts the built file NAME into $INSTDIR, even when the current copy is in use; a file
; that cannot be written at all fails setup.
!macro PUT_PROGRAM_FILE NAME
  Push "${NAME}"
  Call MakeRoomFor
  ClearErrors
  File "${BIN_DIR}\${NAME}"
  IfErrors 0 +3
    Push "$INSTDIR\${NAME}"
    Call FailToWrite
!macroend

Section "Vantapicker"
  ; A running copy holds the program file and the hook library: end it first.
  Call EndRunningProgram
  SetOverwrite try  ; a file that cannot be written sets the error flag, no question
  ClearErrors
  SetOutPath "$INSTDIR"
  IfErrors 0 +3
    Push "$INSTDIR"
    Call FailToWrite
  !insertmacro PUT_PROGRAM_FILE "Vantapicker.exe"
  !insertmacro PUT_PROGRAM_FILE "VPHook.dll"
  ; The hook for 32-bit applications and its host, which ends with the program.
  !insertmacro PUT_PROGRAM_FILE "VPHook32.dll"
  !insertmacro PUT_PROGRAM_FILE "VPHookHost32.exe"
  !insertmacro PUT_PROGRAM_FILE "UserGuide.html"
  SetOutPath "$INSTDIR\images"  ; the user guide's pictures
  File "${BIN_DIR}\images\*.png"
  SetOutPath "$WINDIR"
  ClearErrors
  File "${BIN_DIR}\AvailableSites.qhsl"
  IfErrors 0 +3
    Push "$WINDIR\AvailableSites.qhsl"
    Call FailToWrite
  SetOverwrite on
  SetOutPath "$INSTDIR"

  ExecWait '"$INSTDIR\Vantapicker.exe" -RegServer'
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" ${VP_VERSION_1}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" ${VP_VERSION_2}
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${HOME_PAGE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vantapicker.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  CreateShortCut "$SMPROGRAMS\Vantapicker.lnk" "$INSTDIR\Vantapicker.exe"

  StrCmp $StartAtLogon 1 0 +3
    WriteRegStr HKCU "${RUN_KEY}" "Vantapicker.exe" '"$INSTDIR\Vantapicker.exe"'
    Goto logon_done
  StrCmp $StartAtLogon 0 0 +2
    DeleteRegValue HKCU "${RUN_KEY}" "Vantapicker.exe"
logon_done:
SectionEnd

Section "Uninstall"
  Call un.EndRunningProgram
  ExecWait '"$INSTDIR\Vantapicker.exe" -UnregServer'
  ; What other programs still have loaded goes at the next restart.
  Delete /REBOOTOK "$INSTDIR\Vantapicker.exe"
  Delete /REBOOTOK "$INSTDIR\VPHook.dll"
  Delete /REBOOTOK "$INSTDIR\VPHook.dll.old*"  ; moved aside by upgrades
  Delete /REBOOTOK "$INSTDIR\VPHook32.dll"
  Delete /REBOOTOK "$INSTDIR\VPHook32.dll.old*"
  Delete /REBOOTOK "$INSTDIR\VPHookHost32.exe"
  Delete /REBOOTOK "$INSTDIR\VPHookHost32.exe.old*"
  Delete /REBOOTOK "$INSTDIR\Vantapicker.exe.old*"
  Delete /REBOOTOK "$INSTDIR\UserGuide.html"
  Delete /REBOOTOK "$INSTDIR\UserGuide.html.old*"
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
  Delete /REBOOTOK "$WINDIR\AvailableSites.qhsl"
  Delete "$SMPROGRAMS\Vantapicker.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "Vantapicker.exe"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The user's settings and edited site list stay for a later installation.
  IfRebootFlag 0 +3
    DetailPrint "Files still in use by other programs are removed at the next restart."
    MessageBox MB_OK|MB_ICONINFORMATION "Some files of ${PRODUCT} are still in use by other programs. Restart Windows to complete the removal." /SD IDOK
SectionEnd
