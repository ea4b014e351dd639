; The Sulo installer for 64-bit Windows: makensis -DSULO_EXE=<sulo.exe>
;   -DSULO_CONFIGURATION=<shipped configuration> -DSULO_VERSION=<x.y> -DOUTFILE=<installer>
;
; Installs the program and its shipped configuration into Program Files, a
; Start-menu entry, and the uninstaller with its Add/Remove Programs entry.
; The uninstaller takes away the program only: the configuration, the trace
; log and every picture stay where they are, wherever they were kept.
Unicode true
SetCompressor /SOLID lzma
!include "x64.nsh"

!ifndef SULO_VERSION
  !define SULO_VERSION "0.1"
!endif
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Sulo"

Name "Sulo"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Sulo"
RequestExecutionLevel admin
ShowInstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Sulo"
  SetOutPath "$INSTDIR"
  File "/oname=sulo.exe" "${SULO_EXE}"
  ; The shipped settings for a first start; a configuration already there
  ; (an update over an installed booth) is the operator's and stays.
  SetOverwrite off
  File "/oname=sulo.configuration" "${SULO_CONFIGURATION}"
  SetOverwrite on
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetShellVarContext all
  CreateShortcut "$SMPROGRAMS\Sulo.lnk" "$INSTDIR\sulo.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Sulo"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${SULO_VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Sulo"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\sulo.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ; Only what the installer put there. The configuration and the log beside
  ; the program (or in the user's Local AppData) and the pictures are kept;
  ; the folder goes only when nothing is left in it.
  Delete "$INSTDIR\sulo.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Sulo.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
