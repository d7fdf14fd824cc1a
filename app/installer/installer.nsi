; Installer of the screensaver, built by the Windows build next to the .scr:
;   makensis -DVERSION=1.0.0.0 -DSCREENSAVER=<the .scr> -DSCR_NAME=<its file name>
;            -DOUTFILE=<setup .exe> installer.nsi
;
; Per user without administrator rights: the .scr and the uninstaller go to
; the user's programs folder, the installed-programs entry to the user's
; registry. Run elevated, it can install into the system folder instead (the
; folder the system's list of screensavers shows), with the uninstaller under
; the programs folder and the entry for every user.
;
; Switches (besides /S for a silent run and /D=folder):
;   /CURRENT         silent install: make it the current screensaver
;   /ALLUSERS        install into the system folder (needs administrator rights)
;   /REMOVESETTINGS  silent uninstall: remove the saved settings and the log too
; Exit code 740 when /ALLUSERS lacks administrator rights.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh

!define PRODUCT "Night Harbor 3D"
!define COMPANY "VORNHALT Studio"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\NightHarbor3D"
!define SETTINGS_KEY "Software\${COMPANY}\${PRODUCT}"
!define DESKTOP_KEY "Control Panel\Desktop"
!define ERROR_ELEVATION_REQUIRED 740
; SystemParametersInfo: SPI_SETSCREENSAVEACTIVE, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATE_AND_SEND 3

Name "$(ProductName)"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
BrandingText "${COMPANY}"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (c) 2026 ${COMPANY}"

Var SystemWide   ; 1: the .scr in the system folder, the entry for every user
Var IsAdmin      ; 1 when the installer runs with administrator rights
Var ScrFolder    ; where the .scr goes (or went)
Var ScopeUser    ; the radio buttons of the scope page
Var ScopeAll

!define MUI_ABORTWARNING
!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"
!define MUI_COMPONENTSPAGE_SMALLDESC

Page custom ScopePage ScopePageLeave
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

; The pages follow the system's user-interface language: Russian or English.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Russian"

LangString ProductName ${LANG_ENGLISH} "Night Harbor 3D"
LangString ProductName ${LANG_RUSSIAN} "Ночная гавань 3D"
LangString ScopeTitle ${LANG_ENGLISH} "Installation Type"
LangString ScopeTitle ${LANG_RUSSIAN} "Тип установки"
LangString ScopeSubtitle ${LANG_ENGLISH} "Choose who can use the screensaver."
LangString ScopeSubtitle ${LANG_RUSSIAN} "Выберите, кому будет доступен скринсейвер."
LangString ScopeUserText ${LANG_ENGLISH} "Only for me (in my programs folder)"
LangString ScopeUserText ${LANG_RUSSIAN} "Только для меня (в папку моих программ)"
LangString ScopeAllText ${LANG_ENGLISH} "For everyone on this computer (in the system folder)"
LangString ScopeAllText ${LANG_RUSSIAN} "Для всех пользователей компьютера (в системную папку)"
LangString NeedsAdmin ${LANG_ENGLISH} "Installing for everyone needs administrator rights. Run the installer as administrator."
LangString NeedsAdmin ${LANG_RUSSIAN} "Для установки для всех пользователей нужны права администратора. Запустите установку от имени администратора."
LangString UnNeedsAdmin ${LANG_ENGLISH} "Removing the screensaver installed for everyone needs administrator rights. Run the uninstaller as administrator."
LangString UnNeedsAdmin ${LANG_RUSSIAN} "Для удаления скринсейвера, установленного для всех пользователей, нужны права администратора. Запустите удаление от имени администратора."
LangString CurrentName ${LANG_ENGLISH} "Make it the current screensaver"
LangString CurrentName ${LANG_RUSSIAN} "Сделать текущим скринсейвером"
LangString CurrentText ${LANG_ENGLISH} "The system starts Night Harbor 3D when the computer is idle."
LangString CurrentText ${LANG_RUSSIAN} "Система будет запускать «Ночную гавань 3D», когда компьютер простаивает."
LangString SettingsName ${LANG_ENGLISH} "Saved settings"
LangString SettingsName ${LANG_RUSSIAN} "Сохранённые настройки"
LangString SettingsText ${LANG_ENGLISH} "Also remove your settings of the screensaver and its log."
LangString SettingsText ${LANG_RUSSIAN} "Удалить также ваши настройки скринсейвера и его журнал."

; The screensaver, its uninstaller and the installed-programs entry.
Section "-Screensaver" SecScreensaver
  SetOutPath "$ScrFolder"
  File "/oname=${SCR_NAME}" "${SCREENSAVER}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; SHCTX is the current user's registry, or the machine's for everyone.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "$(ProductName)"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$ScrFolder\${SCR_NAME}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SecScreensaver} $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The system starts the screensaver by the path in SCRNSAVE.EXE with " /s"
; after it, unquoted: the short form of the path has no spaces.
Section "$(CurrentName)" SecCurrent
  GetFullPathName /SHORT $0 "$ScrFolder\${SCR_NAME}"
  ${If} $0 == ""
    StrCpy $0 "$ScrFolder\${SCR_NAME}"
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$0"
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATE_AND_SEND})'
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecCurrent} "$(CurrentText)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; Where the .scr and the entry go for the chosen scope; a folder the user
; did not choose follows the scope.
Function ApplyScope
  ${If} $SystemWide == 1
    ${If} $INSTDIR == "$LOCALAPPDATA\Programs\${PRODUCT}"
      StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
    ${EndIf}
    SetShellVarContext all
    StrCpy $ScrFolder "$SYSDIR"
  ${Else}
    SetShellVarContext current
    ${If} $INSTDIR == "$PROGRAMFILES64\${PRODUCT}"
      StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${PRODUCT}"
    ${EndIf}
    StrCpy $ScrFolder "$INSTDIR"
  ${EndIf}
FunctionEnd

Function .onInit
  StrCpy $IsAdmin 0
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 == "Admin"
    StrCpy $IsAdmin 1
  ${EndIf}

  ${GetParameters} $R0
  StrCpy $SystemWide 0
  ClearErrors
  ${GetOptions} $R0 "/ALLUSERS" $R1
  ${IfNot} ${Errors}
    ${If} $IsAdmin != 1
      MessageBox MB_ICONSTOP "$(NeedsAdmin)" /SD IDOK
      SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
      Quit
    ${EndIf}
    StrCpy $SystemWide 1
  ${EndIf}

  ; Silent: the current screensaver changes only when asked to.
  ${If} ${Silent}
    ClearErrors
    ${GetOptions} $R0 "/CURRENT" $R1
    ${If} ${Errors}
      !insertmacro UnselectSection ${SecCurrent}
    ${EndIf}
  ${EndIf}
  Call ApplyScope
FunctionEnd

; The scope page: only with administrator rights, else per user it is.
Function ScopePage
  ${If} $IsAdmin != 1
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "$(ScopeTitle)" "$(ScopeSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateRadioButton} 0 10u 100% 12u "$(ScopeUserText)"
  Pop $ScopeUser
  ${NSD_CreateRadioButton} 0 30u 100% 12u "$(ScopeAllText)"
  Pop $ScopeAll
  ${If} $SystemWide == 1
    ${NSD_Check} $ScopeAll
  ${Else}
    ${NSD_Check} $ScopeUser
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ScopePageLeave
  ${NSD_GetState} $ScopeAll $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $SystemWide 1
  ${Else}
    StrCpy $SystemWide 0
  ${EndIf}
  Call ApplyScope
FunctionEnd

Function .onVerifyInstDir
  ${If} $SystemWide != 1
    StrCpy $ScrFolder "$INSTDIR"
  ${EndIf}
FunctionEnd

; ---- Uninstaller ----

Section "-un.Screensaver"
  Call un.ForgetCurrent
  Delete /REBOOTOK "$ScrFolder\${SCR_NAME}"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.$(SettingsName)" SecRemoveSettings
  SetShellVarContext current
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\${COMPANY}"
  Delete "$APPDATA\${COMPANY}\SSELog.txt"
  RMDir "$APPDATA\${COMPANY}"
  ${If} $SystemWide == 1
    SetShellVarContext all
  ${EndIf}
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecRemoveSettings} "$(SettingsText)"
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END

; When SCRNSAVE.EXE names the screensaver that goes (long or short path), the
; user is left with no screensaver rather than a missing one.
Function un.ForgetCurrent
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == ""
    Return
  ${EndIf}
  GetFullPathName /SHORT $1 "$ScrFolder\${SCR_NAME}"
  ${If} $0 == "$ScrFolder\${SCR_NAME}"
  ${OrIf} $0 == $1
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 0, p 0, i ${SPIF_UPDATE_AND_SEND})'
  ${EndIf}
FunctionEnd

; The installation this uninstaller belongs to: for everyone when the
; machine's entry names its folder, else the user's.
Function un.onInit
  StrCpy $SystemWide 0
  StrCpy $ScrFolder "$INSTDIR"
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} $0 == $INSTDIR
    UserInfo::GetAccountType
    Pop $1
    ${If} $1 != "Admin"
      MessageBox MB_ICONSTOP "$(UnNeedsAdmin)" /SD IDOK
      SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
      Quit
    ${EndIf}
    StrCpy $SystemWide 1
    StrCpy $ScrFolder "$SYSDIR"
    SetShellVarContext all
  ${EndIf}

  ${un.GetParameters} $R0
  ClearErrors
  ${un.GetOptions} $R0 "/REMOVESETTINGS" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecRemoveSettings}
  ${EndIf}
FunctionEnd
