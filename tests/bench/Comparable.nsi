; The benchmark's NSIS peer: the payload tree plus the work our installer does
; besides the files, for an unattended per-user installation without a
; desktop link: an uninstaller, five Start Menu links, two file associations,
; the Uninstall key and the installation folder appended to the user's PATH.
;   makensis -DTREE=<payload tree> -DOUTFILE=<setup.exe> Comparable.nsi
; Run silent: setup.exe /S /D=C:\target
!include WinMessages.nsh
Target amd64-unicode
SetCompressor /SOLID lzma
SetCompressorDictSize 32
RequestExecutionLevel admin
SilentInstall silent
Name "Vantrel Quillmore bench peer"
OutFile "${OUTFILE}"
InstallDir "C:\bench\target"

!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\QuillmoreBenchPeer"
!define START_MENU "$SMPROGRAMS\Vantrel Quillmore"

Section
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File /r "${TREE}\*"
  WriteUninstaller "$INSTDIR\uninst.exe"

  CreateDirectory "${START_MENU}"
  CreateShortCut "${START_MENU}\Quillmore.lnk" "$INSTDIR\quillmore.exe" "" "" 0 SW_SHOWNORMAL "" "Vantrel Quillmore"
  CreateShortCut "${START_MENU}\Proxy Settings.lnk" "$INSTDIR\vantcfg.exe" "-proxy" "" 0 SW_SHOWNORMAL "" "Proxy settings"
  CreateShortCut "${START_MENU}\Host Key Manager.lnk" "$INSTDIR\vantcfg.exe" "-hostkeys" "$INSTDIR\vantcfg.exe" 1 SW_SHOWNORMAL "" "Host keys"
  CreateShortCut "${START_MENU}\Keypair Manager.lnk" "$INSTDIR\vantcfg.exe" "-keypairs" "$INSTDIR\vantcfg.exe" 2 SW_SHOWNORMAL "" "Keypairs"
  CreateShortCut "${START_MENU}\Uninstall Quillmore.lnk" "$INSTDIR\uninst.exe" "" "" 0 SW_SHOWNORMAL "" "Uninstall"

  WriteRegStr HKLM "SOFTWARE\Classes\.qmp" "" "Vantrel.Quillmore.Bench.Profile"
  WriteRegStr HKLM "SOFTWARE\Classes\Vantrel.Quillmore.Bench.Profile" "" "Vantrel Quillmore profile file"
  WriteRegStr HKLM "SOFTWARE\Classes\Vantrel.Quillmore.Bench.Profile\DefaultIcon" "" "$INSTDIR\quillmore.exe,1"
  WriteRegStr HKLM "SOFTWARE\Classes\Vantrel.Quillmore.Bench.Profile\shell\Open\command" "" '"$INSTDIR\Quillmore.exe" -profile="%1"'
  WriteRegStr HKLM "SOFTWARE\Classes\Vantrel.Quillmore.Bench.Profile\shell\Connect\command" "" '"$INSTDIR\Quillmore.exe" -profile="%1" -connectOnStartup'
  WriteRegStr HKLM "SOFTWARE\Classes\.pmx" "" "Vantrel.Quillmore.Bench.Settings"
  WriteRegStr HKLM "SOFTWARE\Classes\Vantrel.Quillmore.Bench.Settings" "" "Vantrel Pellmar settings file"
  WriteRegStr HKLM "SOFTWARE\Classes\Vantrel.Quillmore.Bench.Settings\DefaultIcon" "" "$INSTDIR\pellcfg.exe,3"
  WriteRegStr HKLM "SOFTWARE\Classes\Vantrel.Quillmore.Bench.Settings\shell\Manage\command" "" '"$INSTDIR\Pellcfg.exe" "%1"'

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Vantrel Quillmore bench peer (remove only)"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "4.33"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninst.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"

  ReadRegStr $0 HKCU "Environment" "Path"
  StrCmp $0 "" 0 +3
    WriteRegExpandStr HKCU "Environment" "Path" "$INSTDIR"
    Goto +2
    WriteRegExpandStr HKCU "Environment" "Path" "$0;$INSTDIR"
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  RMDir /r "$INSTDIR"
  RMDir /r "${START_MENU}"
  DeleteRegKey HKLM "SOFTWARE\Classes\.qmp"
  DeleteRegKey HKLM "SOFTWARE\Classes\.pmx"
  DeleteRegKey HKLM "SOFTWARE\Classes\Vantrel.Quillmore.Bench.Profile"
  DeleteRegKey HKLM "SOFTWARE\Classes\Vantrel.Quillmore.Bench.Settings"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
