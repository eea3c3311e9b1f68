#!/bin/sh
# The Windows installer, run silently under Wine as a user's script would:
#   - it installs Velmora.dll, byte for byte the built one, into the plug-in folder it is given;
#   - the licences, the README and the uninstaller land in Program Files\Velmora;
#   - the Add/Remove Programs entry names the uninstaller and the chosen folder, shows the uninstaller's
#     icon and the installed files' size;
#   - the installed DLL loads and renders the golden scenario;
#   - the silent uninstaller removes the DLL, the folders it made and the entry.
# Usage: installer-test.sh WINE_RUN PREFIX INSTALLER DLL GOLDEN_DUMP
set -eu
wine_run=$1
prefix=$2
installer=$3
dll=$4
golden_dump=$5

run() { "$wine_run" "$prefix" "$@"; }
fail() {
    echo "installer test: $*" >&2
    exit 1
}

key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora'
# A folder of the user's choosing. No space in it: Wine quotes such an argument, and the installer's
# /D= must come unquoted (a space is fine from the folder page or a Windows command line).
folder='C:\VSTPlugins-Test'
unix_folder="$prefix/drive_c/VSTPlugins-Test"
unix_docs="$prefix/drive_c/Program Files/Velmora"
output="$(pwd)/installed-dll-output.raw"

# What a run that failed half-way left behind must not decide this one.
rm -rf "$unix_folder" "$unix_docs" "$output"
run reg delete "$key" /f >/dev/null 2>&1 || true

run "$installer" /S "/D=$folder" || fail "the silent install failed"
cmp "$dll" "$unix_folder/Velmora.dll" || fail "the installed Velmora.dll differs from the built one"
for file in LICENSE.txt THIRD-PARTY-NOTICES.txt README.txt Uninstall.exe; do
    [ -s "$unix_docs/$file" ] || fail "Program Files\\Velmora\\$file is missing"
done
entry=$(run reg query "$key") || fail "no Add/Remove Programs entry"
for expected in "Velmora 1" "$folder" 'Program Files\Velmora\Uninstall.exe'; do
    printf '%s' "$entry" | grep -qF "$expected" || fail "the Add/Remove Programs entry lacks '$expected': $entry"
done

entry=$(printf '%s\n' "$entry" | tr -d '\r')
printf '%s\n' "$entry" | grep -qE '^ +DisplayIcon +REG_SZ +C:\\Program Files\\Velmora\\Uninstall\.exe$' ||
    fail "the Add/Remove Programs entry shows no uninstaller icon: $entry"
# EstimatedSize: the KB of the installed files; the measure, at least Velmora.dll, is not empty.
estimated=$(printf '%s\n' "$entry" | sed -n 's/^ *EstimatedSize *REG_DWORD *0x\([0-9a-fA-F]*\)$/\1/p')
installed=$(cat "$unix_folder/Velmora.dll" "$unix_docs"/* | wc -c)
[ "$installed" -gt "$(wc -c < "$dll")" ] || fail "cannot measure the installed files"
[ -n "$estimated" ] || fail "the Add/Remove Programs entry has no EstimatedSize: $entry"
# Measured folder by folder, each rounded down.
if [ $((0x$estimated)) -gt $((installed / 1024)) ] || [ $((0x$estimated)) -lt $((installed / 1024 - 1)) ]; then
    fail "EstimatedSize is $((0x$estimated)) KB, the installed files $installed bytes"
fi

run "$golden_dump" "$folder\\Velmora.dll" "Z:$output" || fail "the installed Velmora.dll does not load and run"
[ -s "$output" ] || fail "the installed Velmora.dll rendered nothing"

run "$unix_docs/Uninstall.exe" /S || fail "the silent uninstall failed"
# The uninstaller works on from a copy of itself in the temporary folder: wait for it, within bounds.
attempts=0
while [ -e "$unix_folder" ] || [ -e "$unix_docs" ] || run reg query "$key" >/dev/null 2>&1; do
    attempts=$((attempts + 1))
    [ "$attempts" -le 150 ] || break
    sleep 0.2
done
[ ! -e "$unix_folder" ] || fail "the plug-in folder is still there: $(ls "$unix_folder")"
[ ! -e "$unix_docs" ] || fail "Program Files\\Velmora is still there: $(ls "$unix_docs")"
if run reg query "$key" >/dev/null 2>&1; then
    fail "the Add/Remove Programs entry is still there"
fi
echo "installer test: installed, loaded and uninstalled cleanly"
