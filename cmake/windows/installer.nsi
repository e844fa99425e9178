; The installer for Windows users: Ravelin for the user who runs it, without administrator
; rights, in %LOCALAPPDATA%\Programs\Ravelin, with a Start menu entry, script files (.rvs)
; opened by the desktop program, and an uninstaller in "Installed apps". Built by the
; target "setup" (cmake/installer.cmake), which defines:
;   VERSION    the program's version
;   OUTFILE    the installer to write
;   ICON       the program's icon (.ico)
;   FILES      an include with the installed files (installer_files.cmake writes it), which
;              defines SIZE_KB, their size, and DESKTOP when ravelin.exe is among them
; /S installs or uninstalls silently; a silent uninstall keeps the user's settings and logs.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "${FILES}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ravelin"
!define CLASSES "Software\Classes"
; What Windows does after a change of file associations (SHChangeNotify's SHCNE_ASSOCCHANGED).
!define ANNOUNCE_ASSOCIATIONS "shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)"
!ifdef DESKTOP
  !define PROGRAM "ravelin.exe"
!else
  !define PROGRAM "ravelin-cli.exe"
!endif
!define OPEN_COMMAND '"$INSTDIR\ravelin.exe" "%1"'
!define EDIT_COMMAND '"$INSTDIR\ravelin.exe" --edit "%1"'
!define RUN_COMMAND '"$INSTDIR\ravelin.exe" --run "%1"'

Name "Ravelin ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Ravelin"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Ravelin ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Ravelin"
  SetShellVarContext current
  !insertmacro INSTALL_FILES
  WriteUninstaller "$INSTDIR\uninstall.exe"

!ifdef DESKTOP
  CreateShortCut "$SMPROGRAMS\Ravelin.lnk" "$INSTDIR\ravelin.exe" "" "$INSTDIR\ravelin.exe" 0
  ; The keys that the program itself writes when it is asked to (app/registry_association).
  WriteRegStr HKCU "${CLASSES}\.rvs" "" "rvsfile"
  WriteRegStr HKCU "${CLASSES}\rvsfile" "" "Ravelin script"
  WriteRegStr HKCU "${CLASSES}\rvsfile\DefaultIcon" "" "$INSTDIR\ravelin.exe,0"
  WriteRegStr HKCU "${CLASSES}\rvsfile\shell\open\command" "" '${OPEN_COMMAND}'
  WriteRegStr HKCU "${CLASSES}\rvsfile\shell\edit" "" "&Edit"
  WriteRegStr HKCU "${CLASSES}\rvsfile\shell\edit\command" "" '${EDIT_COMMAND}'
  WriteRegStr HKCU "${CLASSES}\rvsfile\shell\run" "" "&Run"
  WriteRegStr HKCU "${CLASSES}\rvsfile\shell\run\command" "" '${RUN_COMMAND}'
  System::Call '${ANNOUNCE_ASSOCIATIONS}'
!endif

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Ravelin"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Ravelin"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  !insertmacro UNINSTALL_FILES
  Delete "$INSTDIR\uninstall.exe"
  ; Files the user put there stay, and with them the folder.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Ravelin.lnk"

  ; The association (with its verbs) goes while it still opens this copy; .rvs, while it
  ; names the type.
  ReadRegStr $0 HKCU "${CLASSES}\rvsfile\shell\open\command" ""
  ${If} $0 == '${OPEN_COMMAND}'
    DeleteRegKey HKCU "${CLASSES}\rvsfile"
    ReadRegStr $1 HKCU "${CLASSES}\.rvs" ""
    ${If} $1 == "rvsfile"
      DeleteRegKey HKCU "${CLASSES}\.rvs"
    ${EndIf}
    System::Call '${ANNOUNCE_ASSOCIATIONS}'
  ${EndIf}
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  ; ravelin.ini (%APPDATA%\Ravelin) and the logs (%LOCALAPPDATA%\Ravelin) are the user's:
  ; asked for, kept when the answer is No and in a silent uninstall.
  ${If} ${FileExists} "$APPDATA\Ravelin\*.*"
  ${OrIf} ${FileExists} "$LOCALAPPDATA\Ravelin\*.*"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "Remove your Ravelin settings (ravelin.ini) and logs as well?$\r$\n$\r$\n$APPDATA\Ravelin$\r$\n$LOCALAPPDATA\Ravelin" \
      /SD IDNO IDNO keep
    RMDir /r "$APPDATA\Ravelin"
    RMDir /r "$LOCALAPPDATA\Ravelin"
    keep:
  ${EndIf}
SectionEnd
