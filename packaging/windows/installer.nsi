# SPDX-License-Identifier: MIT
# The Windows installer: Logwarden.exe under Program Files, a Start-menu shortcut for every user,
# "Open with" for .log and .txt files, and an uninstaller listed under installed programs.
#
#   makensis -DVERSION=1.1.0 -DEXE=path/Logwarden.exe -DICON=path/logwarden.ico \
#            -DOUTFILE=path/Logwarden-1.1.0-setup.exe installer.nsi
# /S installs (and uninstalls) silently.

# Debian's Wine runs no 32-bit programs without the i386 architecture; makensis builds a 32-bit
# installer unless told otherwise.
Target amd64-unicode

!ifndef VERSION | EXE | ICON | OUTFILE
  !error "define VERSION, EXE, ICON and OUTFILE"
!endif

!define APP "Logwarden"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
!define APP_KEY "Software\Classes\Applications\${APP}.exe"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
Icon "${ICON}"
UninstallIcon "${ICON}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${APP}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${APP} ${VERSION} Setup"
VIAddVersionKey /LANG=0 "CompanyName" "The ${APP} developers"
VIAddVersionKey /LANG=0 "LegalCopyright" "MIT License"

!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
# The first language is the default where the system's is neither.
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "English"

!define SHCNE_ASSOCCHANGED 0x08000000

# Sets the start-in folder of the shortcut $0 to $1. CreateShortCut can only use the installer's
# own output folder, but the program keeps its settings file in its current folder, which must
# be each user's own and writable: %USERPROFILE%, expanded when the shortcut is started.
Function SetShortcutWorkingDirectory
  # CLSID_ShellLink, IID_IShellLinkW; IID_IPersistFile.
  System::Call "ole32::CoCreateInstance(g '{00021401-0000-0000-C000-000000000046}', p 0, i 1, \
                g '{000214F9-0000-0000-C000-000000000046}', *p .r2) i .r3"
  StrCmp $3 0 0 failed
  System::Call "$2->0(g '{0000010B-0000-0000-C000-000000000046}', *p .r4) i .r3"
  StrCmp $3 0 0 release_link
  System::Call "$4->5(w r0, i 2) i .r3"  # IPersistFile::Load, read-write
  StrCmp $3 0 0 release_file
  System::Call "$2->9(w r1) i .r3"  # IShellLinkW::SetWorkingDirectory
  StrCmp $3 0 0 release_file
  System::Call "$4->6(p 0, i 1) i .r3"  # IPersistFile::Save to the file it was loaded from
release_file:
  System::Call "$4->2()"
release_link:
  System::Call "$2->2()"
failed:
  StrCmp $3 0 +2
  DetailPrint "The shortcut's start-in folder was not set (error $3)"
FunctionEnd

Section "Install"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "/oname=${APP}.exe" "${EXE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\${APP}.exe"
  StrCpy $0 "$SMPROGRAMS\${APP}.lnk"
  StrCpy $1 "%USERPROFILE%"
  Call SetShortcutWorkingDirectory

  # "Open with" for logs and plain text: the program takes the file as its whole command line.
  WriteRegStr HKLM "${APP_KEY}" "FriendlyAppName" "${APP}"
  WriteRegStr HKLM "${APP_KEY}\DefaultIcon" "" "$INSTDIR\${APP}.exe,0"
  WriteRegStr HKLM "${APP_KEY}\shell\open\command" "" '"$INSTDIR\${APP}.exe" "%1"'
  WriteRegStr HKLM "${APP_KEY}\SupportedTypes" ".log" ""
  WriteRegStr HKLM "${APP_KEY}\SupportedTypes" ".txt" ""
  WriteRegStr HKLM "Software\Classes\.log\OpenWithList\${APP}.exe" "" ""
  WriteRegStr HKLM "Software\Classes\.txt\OpenWithList\${APP}.exe" "" ""
  System::Call "shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${APP}.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The ${APP} developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

# Removes the program from the "Open with" list of EXT, and the keys it leaves empty.
!macro ForgetOpenWith EXT
  DeleteRegKey HKLM "Software\Classes\${EXT}\OpenWithList\${APP}.exe"
  DeleteRegKey /ifempty HKLM "Software\Classes\${EXT}\OpenWithList"
  DeleteRegKey /ifempty HKLM "Software\Classes\${EXT}"
!macroend

# Each user's Logwarden.ini stays: it lives in their own folders, not in the installation.
Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${APP}.lnk"
  !insertmacro ForgetOpenWith ".log"
  !insertmacro ForgetOpenWith ".txt"
  DeleteRegKey HKLM "${APP_KEY}"
  System::Call "shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\${APP}.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
