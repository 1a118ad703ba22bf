; Setup of Vantapicker: installs the program for all users, puts the default site
; catalogue into the Windows directory, registers the program and offers to start it at
; logon. Uninstalling keeps each user's settings and edited site list.
;   makensis -DBIN_DIR=<folder with the built files> -DOUT_FILE=<setup.exe> Vantapicker.nsi
Target amd64-unicode
Unicode true
SetCompressor /SOLID lzma

!ifndef BIN_DIR
  !error "BIN_DIR must name the folder with Vantapicker.exe"
!endif
!ifndef OUT_FILE
  !define OUT_FILE "VantapickerSetup.exe"
!endif

!define PRODUCT "Vantapicker"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantapicker"

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\Quenhollow\Vantapicker"
RequestExecutionLevel admin
ShowInstDetails nevershow

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Vantapicker"
  ; A running copy holds the hook library: end it first.
  nsExec::Exec '"$SYSDIR\taskkill.exe" /F /IM Vantapicker.exe'
  SetOutPath "$INSTDIR"
  File "${BIN_DIR}\Vantapicker.exe"
  File "${BIN_DIR}\VPHook.dll"
  File "${BIN_DIR}\UserGuide.html"
  SetOutPath "$WINDIR"
  File "${BIN_DIR}\AvailableSites.qhsl"
  ExecWait '"$INSTDIR\Vantapicker.exe" -RegServer'
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "2.0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Quenhollow"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vantapicker.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  CreateShortCut "$SMPROGRAMS\Vantapicker.lnk" "$INSTDIR\Vantapicker.exe"
SectionEnd

Section "Uninstall"
  nsExec::Exec '"$SYSDIR\taskkill.exe" /F /IM Vantapicker.exe'
  ExecWait '"$INSTDIR\Vantapicker.exe" -UnregServer'
  Delete "$INSTDIR\Vantapicker.exe"
  Delete "$INSTDIR\VPHook.dll"
  Delete "$INSTDIR\UserGuide.html"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$WINDIR\AvailableSites.qhsl"
  Delete "$SMPROGRAMS\Vantapicker.lnk"
  DeleteRegValue HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "Vantapicker.exe"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The user's settings and edited site list stay for a later installation.
SectionEnd
