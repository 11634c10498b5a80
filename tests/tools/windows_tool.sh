#!/usr/bin/env bash
# The Windows tool under Wine, every command once: pack/unpack, create/list/extract, form,
# build (through the system's own resource update) and verify, reg and sysinfo.
# Usage: windows_tool.sh EMULATOR... -- STOWAWAY_EXE STUB_EXE
set -euo pipefail
emulator=()
while [ "$1" != "--" ]; do emulator+=("$1"); shift; done
shift
tool=$1 stub=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
run() { "${emulator[@]}" "$tool" "$@"; }
fail() { echo "FAILED: $*" >&2; exit 1; }

head -c 300000 "$tool" >setup.exe
printf '<html><body>Setup</body></html>' >page.html
run pack setup.exe setup.sfp && run unpack setup.sfp setup.back && cmp setup.exe setup.back || fail "pack/unpack round trip"
run create files.sfp page.html setup.exe || fail create
run list files.sfp | grep -q 'setup.exe' || fail "list names the stored file"
run extract files.sfp out && cmp setup.exe out/setup.exe && cmp page.html out/page.html || fail "extract"

# A text in the ANSI code page (Windows-1252 under Wine's default locale).
title=$(printf 'Setup f\xfcr Quillmax')
run build inst.exe --stub "$stub" --setup setup.exe --page page.html --title "$title" || fail build
run verify inst.exe || fail "verify of a whole installer"
printf 'object Form1: TForm1\r\n  Caption = %s\r\nend\r\n' "'$title'" >form.txt
run form form.txt form.bin && run form form.bin back.txt && grep -q 'Setup f' back.txt || fail "form round trip"
python3 - <<'PY'
data = bytearray(open("inst.exe", "rb").read())
at = data.rfind(b"setup.exe")  # the last stored record: the setup program's name
data[at + 100000] ^= 0x55
open("flipped.exe", "wb").write(data)
PY
if run verify flipped.exe; then fail "verify misses a flipped byte"; fi
head -c 1000000 inst.exe >cut.exe
if run verify cut.exe; then fail "verify misses a truncated installer"; fi
if run build bad.exe --stub setup.sfp --setup setup.exe 2>/dev/null; then fail "build takes a stub that is not ours"; fi
[ ! -e bad.exe ] || fail "a failed build leaves its output"

run reg set 'HKCU\Software\StowawayTest' Name 'Wert' || fail "reg set"
run reg query 'HKCU\Software\StowawayTest' Name | grep -q Wert || fail "reg query"
run sysinfo | grep -q "^DirFonts = 'C:" || fail sysinfo
echo "all tool commands work"
