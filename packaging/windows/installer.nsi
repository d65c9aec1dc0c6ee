; Windows installer for Velmora (per user, no administrator needed).
;
; Build (all paths absolute; works from any current folder; the file is UTF-8):
;   cmake -DSTAGING=/abs/staging -DOUTPUT=/abs/build/installer-files.nsh \
;         -P /abs/packaging/windows/installer-files.cmake
;   makensis -V2 -NOCD -INPUTCHARSET UTF8 \
;            -DVERSION=1.0.0 \
;            -DSTAGING=/abs/staging \
;            -DFILES=/abs/build/installer-files.nsh \
;            -DICON=/abs/velmora.ico \
;            -DOUTFILE=/abs/build/velmora-1.0.0-setup.exe \
;            [-DSIGN=/abs/packaging/windows/sign] \
;            /abs/packaging/windows/installer.nsi
;
; VERSION   version shown in the installed-apps list
; STAGING   the staged program folder (velmora.exe, Qt DLLs, platforms\, translations\, ...)
; FILES     the include installer-files.cmake wrote from STAGING
; ICON      .ico for the installer and uninstaller
; OUTFILE   setup .exe to write
; SIGN      if given, the program that signs the file it is given in place (sign beside this
;           file, which reads the certificate from the environment): the uninstaller before
;           the installer packs it, and the installer once written
;
; Silent: "setup.exe /S" installs the program and Start-menu shortcut (a desktop shortcut only
; where one is already), "uninstall.exe /S" removes them. If a version is already installed,
; its own uninstaller is run silently first, so files the new version no longer ships disappear.

!macro Require name
  !ifndef ${name}
    !error "define ${name} on the makensis command line (see the top of installer.nsi)"
  !endif
!macroend
!insertmacro Require VERSION
!insertmacro Require STAGING
!insertmacro Require FILES
!insertmacro Require ICON
!insertmacro Require OUTFILE
!ifdef SIGN
  !uninstfinalize '"${SIGN}" "%1"' = 0
  !finalize '"${SIGN}" "%1"' = 0
!endif

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define PRODUCT "Velmora"
!define EXE "velmora.exe"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Velmora"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh
!include /CHARSET=UTF8 "${FILES}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"

!insertmacro MUI_PAGE_WELCOME
!define MUI_COMPONENTSPAGE_SMALLDESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "Bulgarian"

LangString DESCRIPTION ${LANG_BULGARIAN} "Калкулатор за цената на златото"
LangString SEC_PROGRAM ${LANG_BULGARIAN} "Програмата Velmora"
LangString SEC_PROGRAM_DESC ${LANG_BULGARIAN} "Файловете на програмата, пряк път в менюто „Старт“ и програма за деинсталиране."
LangString SEC_DESKTOP ${LANG_BULGARIAN} "Пряк път на работния плот"
LangString SEC_DESKTOP_DESC ${LANG_BULGARIAN} "Поставя пряк път към Velmora на работния плот."
LangString RUNNING ${LANG_BULGARIAN} "Velmora е отворена. Затворете програмата, за да продължите."
LangString RUNNING_ABORT ${LANG_BULGARIAN} "Velmora е отворена; затворете я и опитайте отново."
LangString OLD_FAILED ${LANG_BULGARIAN} "Инсталираната по-стара версия на Velmora не можа да бъде премахната."

; Waits while folder holds a velmora.exe that cannot be opened for writing (the program is
; running): asks the user to close it, or gives up with Abort if they cancel or it is silent.
!macro RequireClosed folder
  ${Do}
    ${IfNot} ${FileExists} "${folder}\${EXE}"
      ${Break}
    ${EndIf}
    ClearErrors
    FileOpen $R9 "${folder}\${EXE}" a
    ${IfNot} ${Errors}
      FileClose $R9
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(RUNNING)" /SD IDCANCEL IDRETRY +2
    Abort "$(RUNNING_ABORT)"
  ${Loop}
!macroend

Section "!$(SEC_PROGRAM)" SecProgram
  SectionIn RO

  ; A registered install (maybe in another folder): close it, then remove it with its own
  ; uninstaller, run in place so ExecWait really waits for it.
  ReadRegStr $R0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  !insertmacro RequireClosed "$INSTDIR"
  ${If} $R0 != ""
  ${AndIf} ${FileExists} "$R0\${UNINSTALLER}"
    !insertmacro RequireClosed "$R0"
    DetailPrint "$R0\${UNINSTALLER} /S"
    ClearErrors
    ExecWait '"$R0\${UNINSTALLER}" /S _?=$R0' $R1
    ${If} ${Errors}
    ${OrIf} $R1 != 0
      Abort "$(OLD_FAILED)"
    ${EndIf}
    Delete "$R0\${UNINSTALLER}"
    RMDir "$R0"
  ${EndIf}

  !insertmacro InstallFiles
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0 \
      SW_SHOWNORMAL "" "$(DESCRIPTION)"

  ${GetSize} "$INSTDIR" "/S=0K" $R2 $R3 $R4
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Velmora developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "https://www.velmora.example/"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $R2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section /o "$(SEC_DESKTOP)" SecDesktop
  SetOutPath "$INSTDIR"
  CreateShortCut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0 \
      SW_SHOWNORMAL "" "$(DESCRIPTION)"
SectionEnd

; The older version's uninstaller takes away the desktop shortcut, and "/S" chooses no
; optional section: a shortcut there already chooses the desktop section, which makes it again.
Function .onInit
  SetShellVarContext current
  ${If} ${FileExists} "$DESKTOP\${PRODUCT}.lnk"
    !insertmacro SelectSection ${SecDesktop}
  ${EndIf}
FunctionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "$(SEC_PROGRAM_DESC)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecDesktop} "$(SEC_DESKTOP_DESC)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function un.onInit
  SetShellVarContext current
FunctionEnd

; Deletes the install folder last, so that once it is gone everything else is too.
Section "Uninstall"
  !insertmacro RequireClosed "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$DESKTOP\${PRODUCT}.lnk"
  !insertmacro UninstallFiles
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
SectionEnd
