; The setup program of Vantor Shredder, and the uninstaller it writes. scripts/package compiles it
; once for each architecture with these definitions:
;   VERSION  the product version, from the file VERSION (for example 1.0.0)
;   ARCH     x64 or x86
;   DIST     the installation image (build/dist or build-i686/dist)
;   LISTS    the folder holding install-files.nsh and uninstall-files.nsh, made from DIST
;   OUTFILE  the setup program to write
;
; Silent use: Setup.exe /S [/D=folder]; Uninstall.exe /S [/PURGE]. Exit code 0 on success, 2 when
; the installation stopped or a component could not be registered.

Unicode true
!if "${ARCH}" == "x64"
  Target amd64-unicode
!else if "${ARCH}" == "x86"
  Target x86-unicode
!else
  !error "ARCH must be x64 or x86"
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh
!include MUI2.nsh

!define PRODUCT "Vantor Shredder"
!define PUBLISHER "Vantor"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantor Shredder"
!define SETTINGS_KEY "Software\Vantor Shredder\Shred"
!define APPLICATION_KEY "Software\Vantor Shredder"
; The shred command that the program adds to the Recycle Bin's menu at every start.
!define RECYCLE_BIN_VERB "CLSID\{645FF040-5081-101B-9F08-00AA002F954E}\shell\Vantor Shredder"
!define START_MENU "$SMPROGRAMS\${PRODUCT}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
!if "${ARCH}" == "x64"
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
; An upgrade goes where the installed version is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\HLP\VantorShred.chm"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the help"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The components that could not be (un)registered, for the closing message.
Var failures

!macro SelectView
  SetShellVarContext all
  !if "${ARCH}" == "x64"
    SetRegView 64
  !endif
!macroend

; Puts one library in place. A library that is loaded (the file manager holds the context-menu
; extension, a running program the scheduler component) cannot be overwritten: the new file is then
; written beside it and replaces it when Windows starts next.
!macro InstallLibrary source folder name
  ClearErrors
  SetOverwrite on
  File "/oname=${folder}\${name}" "${source}"
  ${If} ${Errors}
    GetTempFileName $0 "${folder}"
    File "/oname=$0" "${source}"
    Rename /REBOOTOK "$0" "${folder}\${name}"
    DetailPrint "${name} is in use; it is replaced when Windows starts next."
  ${EndIf}
!macroend

; Calls a component's own DllRegisterServer or DllUnregisterServer.
!macro CallRegistration verb path name
  ClearErrors
  ${verb} "${path}"
  ${If} ${Errors}
    DetailPrint "${name}: ${verb} failed."
    StrCpy $failures "$failures$\r$\n${name}"
  ${EndIf}
!macroend

Function .onInit
  !insertmacro SelectView
  !if "${ARCH}" == "x86"
    ; A 32-bit context-menu extension never loads into the 64-bit file manager.
    ${If} ${RunningX64}
      MessageBox MB_ICONSTOP "This setup program is for 32-bit Windows. On this computer, install VantorShredder-${VERSION}-x64-setup.exe." /SD IDOK
      SetErrorLevel 2
      Abort
    ${EndIf}
  !endif
FunctionEnd

Section "Vantor Shredder"
  StrCpy $failures ""

  SetOutPath "$INSTDIR"
  SetOverwrite on
  !include "${LISTS}/install-files.nsh"
  !insertmacro InstallLibrary "${DIST}/Shelvane.dll" "$INSTDIR" "Shelvane.dll"
  ; The program looks for the scheduler component in the system folder.
  !insertmacro InstallLibrary "${DIST}/Taskmere.dll" "$SYSDIR" "Taskmere.dll"

  !insertmacro CallRegistration RegDLL "$SYSDIR\Taskmere.dll" "Taskmere.dll"
  !insertmacro CallRegistration RegDLL "$INSTDIR\Shelvane.dll" "Shelvane.dll"

  ; For the installing user; every other user's first start stores it itself.
  WriteRegStr HKCU "${SETTINGS_KEY}" "AppPath" "$INSTDIR"

  SetOutPath "$INSTDIR"
  CreateDirectory "${START_MENU}"
  CreateShortCut "${START_MENU}\${PRODUCT}.lnk" "$INSTDIR\Nullwright.exe"
  CreateShortCut "${START_MENU}\${PRODUCT} Help.lnk" "$INSTDIR\HLP\VantorShred.chm"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Nullwright.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  ${GetSize} "$SYSDIR" "/M=Taskmere.dll /S=0K /G=0" $3 $1 $2
  IntOp $0 $0 + $3
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

  ${If} $failures != ""
    MessageBox MB_ICONEXCLAMATION "These components could not be registered:$failures$\r$\n$\r$\nVantor Shredder will say so when it starts. Run the setup program again to repair it." /SD IDOK
    SetErrorLevel 2
  ${EndIf}
SectionEnd

Function un.onInit
  !insertmacro SelectView
FunctionEnd

; Deletes the program's own scheduled tasks (after a question, unless silent): they would start a
; program that is gone. Runs while the scheduler component is still registered.
Function un.RemoveOwnTasks
  InitPluginsDir
  File "/oname=$PLUGINSDIR\OwnTasks.vbs" "OwnTasks.vbs"
  nsExec::ExecToStack '"$SYSDIR\cscript.exe" //nologo "$PLUGINSDIR\OwnTasks.vbs" count'
  Pop $0
  Pop $1
  StrCpy $2 $1 6
  ${If} $2 != "count="
    DetailPrint "The scheduled tasks could not be read: $1"
    Return
  ${EndIf}
  StrCpy $2 $1 "" 6
  IntOp $2 $2 + 0
  ${If} $2 = 0
    Return
  ${EndIf}
  MessageBox MB_YESNO|MB_ICONQUESTION "Vantor Shredder has $2 scheduled shredding task(s). They would start a program that is no longer installed.$\r$\n$\r$\nDelete them?" /SD IDYES IDYES delete
  DetailPrint "The scheduled tasks of Vantor Shredder were kept."
  Return
  delete:
  nsExec::ExecToStack '"$SYSDIR\cscript.exe" //nologo "$PLUGINSDIR\OwnTasks.vbs" delete'
  Pop $0
  Pop $1
  DetailPrint "Scheduled tasks: $1"
FunctionEnd

Section "Uninstall"
  StrCpy $failures ""
  Call un.RemoveOwnTasks

  !insertmacro CallRegistration UnRegDLL "$INSTDIR\Shelvane.dll" "Shelvane.dll"
  !insertmacro CallRegistration UnRegDLL "$SYSDIR\Taskmere.dll" "Taskmere.dll"
  DeleteRegKey HKLM "Software\Classes\${RECYCLE_BIN_VERB}"
  DeleteRegKey HKCU "Software\Classes\${RECYCLE_BIN_VERB}"

  !include "${LISTS}/uninstall-files.nsh"
  ; A library the file manager still holds goes when Windows starts next.
  Delete /REBOOTOK "$INSTDIR\Shelvane.dll"
  Delete /REBOOTOK "$SYSDIR\Taskmere.dll"
  Delete "${START_MENU}\${PRODUCT}.lnk"
  Delete "${START_MENU}\${PRODUCT} Help.lnk"
  RMDir "${START_MENU}"

  ${un.GetParameters} $0
  ClearErrors
  ${un.GetOptions} $0 "/PURGE" $1
  ${IfNot} ${Errors}
    Goto purge
  ${EndIf}
  MessageBox MB_YESNO|MB_ICONQUESTION "Keep your Vantor Shredder settings and the shred log (log.txt)?" /SD IDYES IDYES kept
  purge:
  Delete "$INSTDIR\log.txt"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "${APPLICATION_KEY}"
  kept:

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  ; A kept log keeps the folder; a library removed at the next start takes the folder with it.
  ${If} ${RebootFlag}
  ${AndIfNot} ${FileExists} "$INSTDIR\log.txt"
    RMDir /REBOOTOK "$INSTDIR"
  ${Else}
    RMDir "$INSTDIR"
  ${EndIf}

  ${If} $failures != ""
    SetErrorLevel 2
  ${EndIf}
SectionEnd
