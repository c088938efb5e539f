; The installer of VEXA Init for Windows (NSIS 3), made by scripts/build-windows.sh:
;   makensis -DVERSION=1.0 -DSTAGE=<folder with the programs and CTIMNE.txt>
;            -DICON=<vexa-init.ico> -DOUTFILE=<vexa-init-1.0-setup.exe> vexa-init.nsi
; Installs for the current user without administrator rights (into
; %LOCALAPPDATA%\Programs\VEXA Init), or for all users when run elevated (into
; Program Files); /CURRENTUSER and /ALLUSERS choose, /S installs silently.
; The uninstaller removes what was installed and never the backups the
; program keeps in %LOCALAPPDATA%\VEXA Init\zalohy.
Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"

!define PRODUCT "VEXA Init"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VEXA Init"
!define PROGID "VEXAInit.eep"
!define APP_KEY "Software\Classes\Applications\vexa-init.exe"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1029 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1029 "FileDescription" "Instalace programu ${PRODUCT}"
VIAddVersionKey /LANG=1029 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1029 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1029 "CompanyName" "VEXA"
VIAddVersionKey /LANG=1029 "LegalCopyright" "VEXA"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Průvodce nainstaluje program ${PRODUCT} ${VERSION}, který nastavuje jednotku VEXA přes sériový port.$\r$\n$\r$\nBez práv správce se program instaluje jen pro vás; spuštěný jako správce jej nainstaluje pro všechny uživatele.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\vexa-init.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\CTIMNE.txt"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Czech"

Var AllUsers

; Chooses for whom: elevated means all users unless /CURRENTUSER says not.
!macro ChooseUsers UN
Function ${UN}ChooseUsers
  StrCpy $AllUsers 0
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 == "Admin"
    StrCpy $AllUsers 1
  ${EndIf}
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/CURRENTUSER" $2
  ${IfNot} ${Errors}
    StrCpy $AllUsers 0
  ${EndIf}
  ClearErrors
  ${GetOptions} $1 "/ALLUSERS" $2
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
  ${EndIf}
  SetRegView 64
  ${If} $AllUsers == 1
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd
!macroend
!insertmacro ChooseUsers ""
!insertmacro ChooseUsers "un."

; The folder, unless /D= chose one: the user's programs or Program Files.
Function .onInit
  Call ChooseUsers
  ${If} $INSTDIR == ""
    ${If} $AllUsers == 1
      StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
    ${Else}
      StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${PRODUCT}"
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "${PRODUCT}"
  SetOutPath "$INSTDIR"
  File "${STAGE}\vexa-init.exe"
  File "${STAGE}\vexa-cli.exe"
  File "${STAGE}\CTIMNE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\vexa-init.exe" "" "$INSTDIR\vexa-init.exe" 0

  ; The programs list.
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINST_KEY}" "Publisher" "VEXA"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\vexa-init.exe,0"
  WriteRegStr SHCTX "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  ${If} $AllUsers == 1
    StrCpy $0 "/ALLUSERS"
  ${Else}
    StrCpy $0 "/CURRENTUSER"
  ${EndIf}
  WriteRegStr SHCTX "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" $0'
  WriteRegStr SHCTX "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" $0 /S'
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  WriteRegDWORD SHCTX "${UNINST_KEY}" "EstimatedSize" $1

  ; .eep files: "Open with" through a ProgID of its own; the default only
  ; when no program owns .eep yet (AVR tools call their files so too).
  WriteRegStr SHCTX "Software\Classes\${PROGID}" "" "Konfigurace jednotky VEXA"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\vexa-init.exe,0"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\vexa-init.exe" "%1"'
  WriteRegStr SHCTX "Software\Classes\.eep\OpenWithProgids" "${PROGID}" ""
  WriteRegStr SHCTX "${APP_KEY}" "FriendlyAppName" "${PRODUCT}"
  WriteRegStr SHCTX "${APP_KEY}\SupportedTypes" ".eep" ""
  WriteRegStr SHCTX "${APP_KEY}\shell\open\command" "" '"$INSTDIR\vexa-init.exe" "%1"'
  ReadRegStr $0 HKCR ".eep" ""
  ${If} $0 == ""
    WriteRegStr SHCTX "Software\Classes\.eep" "" "${PROGID}"
  ${EndIf}
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Function un.onInit
  Call un.ChooseUsers
FunctionEnd

Section "Uninstall"
  Delete "$INSTDIR\vexa-init.exe"
  Delete "$INSTDIR\vexa-cli.exe"
  Delete "$INSTDIR\CTIMNE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  ReadRegStr $0 SHCTX "Software\Classes\.eep" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue SHCTX "Software\Classes\.eep" ""
  ${EndIf}
  DeleteRegValue SHCTX "Software\Classes\.eep\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty SHCTX "Software\Classes\.eep\OpenWithProgids"
  DeleteRegKey /ifempty SHCTX "Software\Classes\.eep"
  DeleteRegKey SHCTX "Software\Classes\${PROGID}"
  DeleteRegKey SHCTX "${APP_KEY}"
  DeleteRegKey SHCTX "${UNINST_KEY}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
  ; The backups (%LOCALAPPDATA%\VEXA Init\zalohy) and the remembered
  ; settings stay: they are the user's.
SectionEnd
