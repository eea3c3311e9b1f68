; The Windows installer: Velmora.dll into a VST 2.4 plug-in folder the user chooses, the licences and an
; uninstaller into Program Files\Velmora, and an entry in Add/Remove Programs.
; Built by cmake/Packaging.cmake, which defines VERSION, VENDOR, SUMMARY, SOURCE_DIR, DLL and OUTFILE.
; Silent use: setup.exe /S [/D=C:\path\to\VST folder]; Uninstall.exe /S.

Unicode true
Target amd64-unicode
; No time stamps of the build's files in the installer: the same inputs give the same bytes.
SetDateSave off
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Velmora"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; Where the uninstaller finds the plug-in folder the user chose.
!define FOLDER_VALUE "VstPluginFolder"
!define DOC_DIR "$PROGRAMFILES64\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; $INSTDIR is the VST 2.4 plug-in folder, the one a host scans.
InstallDir "$PROGRAMFILES64\VSTPlugins"
BrandingText "${VENDOR}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${VENDOR}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} installer"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) ${VENDOR}, MIT licence"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_LICENSE "${SOURCE_DIR}/LICENSE"
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup will install Velmora.dll into the VST 2.4 plug-in folder below, the \
    one your host scans for plug-ins (its preferences name it). To use another folder, click Browse."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "VST 2.4 plug-in folder"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Velmora"
    SetRegView 64
    SetOutPath "$INSTDIR"
    File "/oname=Velmora.dll" "${DLL}"
    SetOutPath "${DOC_DIR}"
    File "/oname=LICENSE.txt" "${SOURCE_DIR}/LICENSE"
    File "/oname=THIRD-PARTY-NOTICES.txt" "${SOURCE_DIR}/THIRD-PARTY-NOTICES"
    File "/oname=README.txt" "${SOURCE_DIR}/packaging/windows/README.txt"
    WriteUninstaller "${DOC_DIR}\Uninstall.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION} (VST 2.4 plug-in)"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${VENDOR}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Comments" "${SUMMARY}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "${DOC_DIR}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"${DOC_DIR}\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"${DOC_DIR}\Uninstall.exe" /S'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "${FOLDER_VALUE}" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "${DOC_DIR}\Uninstall.exe"
    ; The size Add/Remove Programs shows, in KB: the installed files as they are on the disk, uninstaller
    ; included. Only Velmora.dll of the plug-in folder, which other plug-ins share.
    ${GetSize} "$INSTDIR" "/M=Velmora.dll /S=0K /G=0" $0 $1 $2
    ${GetSize} "${DOC_DIR}" "/S=0K /G=0" $1 $2 $3
    IntOp $0 $0 + $1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetRegView 64
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "${FOLDER_VALUE}"
    ${If} $0 != ""
        Delete "$0\Velmora.dll"
        ; Only if nothing else is in it: other plug-ins may share the folder.
        RMDir "$0"
    ${EndIf}
    Delete "${DOC_DIR}\LICENSE.txt"
    Delete "${DOC_DIR}\THIRD-PARTY-NOTICES.txt"
    Delete "${DOC_DIR}\README.txt"
    Delete "${DOC_DIR}\Uninstall.exe"
    RMDir "${DOC_DIR}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
