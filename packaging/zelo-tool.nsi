; Installer of zelo-tool: per user, without administrator rights, into the
; user's programs folder; uninstaller registered in the user's Apps list.
; Built by packaging/build-installer, which passes
;   ARCH    x86 (the shipped 32-bit program) or x64
;   STAGE   the folder of files to install (packaging/stage fills it)
;   OUTDIR  where the setup program goes
; The version comes from tool/resources/version.h, the program's own.

!ifndef ARCH | STAGE | OUTDIR
  !error "define ARCH, STAGE and OUTDIR (see packaging/build-installer)"
!endif

!if "${ARCH}" == "x64"
  Target amd64-unicode
!else if "${ARCH}" == "x86"
  Target x86-unicode
!else
  !error "ARCH must be x86 or x64, not ${ARCH}"
!endif

; ---- Version and names -----------------------------------------------------
!define VERSION_HEADER "${__FILEDIR__}/../tool/resources/version.h"
; The rest of a "#define NAME value" line, then the text between its quotes.
!macro VersionText name symbol
  !searchparse /noerrors /file "${VERSION_HEADER}" "define ${name}" ${symbol}_LINE
  !ifndef ${symbol}_LINE
    !error "${name} is not defined in ${VERSION_HEADER}"
  !endif
  !searchparse `${${symbol}_LINE}` `"` ${symbol} `"`
!macroend
!insertmacro VersionText ZELO_TOOL_VERSION_TEXT VERSION
!insertmacro VersionText ZELO_TOOL_FILE_VERSION_TEXT FILE_VERSION
!insertmacro VersionText ZELO_TOOL_COMPANY_TEXT PUBLISHER
!searchparse "${VERSION}" "" VERSION_MAJOR "." VERSION_MINOR

!define PRODUCT "ZE·LO"
!define PROGRAM "zelo-tool.exe"
!define CLI "zelo.exe"
!define LIBRARY "ZELO.dll"
!define README "README.md"
!define MODULES "modules"
!define UNINSTALLER "uninstall.exe"
; Plain ASCII where names reach folders and registry keys.
!define FOLDER "ZE-LO"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZE-LO"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTDIR}/zelo-tool-setup-${VERSION}.exe"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${FOLDER}"
; A second installation goes where the first one went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
; A file that cannot be replaced (the program still running) stops the
; installation instead of leaving the old one in place.
AllowSkipFiles off
ManifestDPIAware true
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${FILE_VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (C) ${PUBLISHER}"

; ---- Pages and languages ---------------------------------------------------
!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define MUI_ICON "${__FILEDIR__}/../tool/resources/art/zelo.ico"
!define MUI_UNICON "${__FILEDIR__}/../tool/resources/art/zelo.ico"
!define MUI_ABORTWARNING
; The uninstaller speaks the language the installation was made in.
!define MUI_LANGDLL_REGISTRY_ROOT HKCU
!define MUI_LANGDLL_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MUI_LANGDLL_REGISTRY_VALUENAME "InstallerLanguage"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PROGRAM}"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The program's seven languages; English first, the fallback.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Danish"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Icelandic"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "Italian"
!insertmacro MUI_RESERVEFILE_LANGDLL

; ---- Installation ----------------------------------------------------------
Function .onInit
  SetShellVarContext current
  !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  File "${STAGE}/${PROGRAM}"
  File "${STAGE}/${CLI}"
  File "${STAGE}/${LIBRARY}"
  File "${STAGE}/${README}"
  CreateDirectory "$INSTDIR\${MODULES}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortcut "${SHORTCUT}" "$INSTDIR\${PROGRAM}" "" "$INSTDIR\${PROGRAM}" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_MAJOR}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_MINOR}
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; A silent installation shows no pages, so the language is saved here.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "${MUI_LANGDLL_REGISTRY_VALUENAME}" $LANGUAGE
SectionEnd

; ---- Uninstallation --------------------------------------------------------
; Only what was installed goes. The program's preferences
; (HKCU\Software\QX Electronics\ZE-LO) stay, and so does anything the user
; put into the folders: non-empty folders are left in place.
Function un.onInit
  SetShellVarContext current
  !insertmacro MUI_UNGETLANGUAGE
FunctionEnd

Section "Uninstall"
  ; A running program cannot be deleted; stop before anything else goes.
  ; The command line first: a `zelo wait` may well be left running.
  retryCli:
  Delete "$INSTDIR\${CLI}"
  ${If} ${FileExists} "$INSTDIR\${CLI}"
    StrCpy $0 "$INSTDIR\${CLI}"
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(^FileError_NoIgnore)" /SD IDCANCEL IDRETRY retryCli
    Abort
  ${EndIf}
  retry:
  Delete "$INSTDIR\${PROGRAM}"
  ${If} ${FileExists} "$INSTDIR\${PROGRAM}"
    StrCpy $0 "$INSTDIR\${PROGRAM}"
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(^FileError_NoIgnore)" /SD IDCANCEL IDRETRY retry
    Abort
  ${EndIf}
  Delete "${SHORTCUT}"
  Delete "$INSTDIR\${LIBRARY}"
  Delete "$INSTDIR\${README}"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR\${MODULES}"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
