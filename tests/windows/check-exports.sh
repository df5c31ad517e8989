#!/usr/bin/env bash
# Checks the plug-in files in a folder: each exports exactly GetInfo and CreateMachine
# (undecorated), and a Windows DLL imports nothing but system DLLs (no C++ or GCC runtime DLL),
# carries no debug sections and stays under 1 MiB (linked stripped, each is about 0.36 MiB; one
# with debug information is about 1.9 MiB). With --pe32+, one 64-bit Windows DLL (the VST3 module,
# the CLAP file) is checked the same way for the exports named.
# Usage: check-exports.sh PLUGIN_DIR
#        check-exports.sh --pe32+ FILE EXPORT...
set -uo pipefail

usage="usage: check-exports.sh PLUGIN_DIR | --pe32+ FILE EXPORT..."
dir=${1:?$usage}
expected=$'CreateMachine\nGetInfo'
# DLLs every Windows has; anything else would have to ship with the plug-in.
system_dlls='^(kernel32|user32|gdi32|gdiplus|msvcrt|advapi32|shell32|ole32|oleaut32|comdlg32|comctl32|winmm|ntdll)\.dll$'
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
magic=10b  # PE32; PE32+ is 20b
max_dll_bytes=$((1024 * 1024))

failures=0
checked=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

check_dll() {
  local file=$1 dump exports imports bad
  dump=$("$objdump" -p "$file") || { fail "$file: objdump failed"; return; }
  grep -q "^Magic.*$magic" <<<"$dump" || fail "$file: not a PE image with magic $magic"
  # Export names: the lines "[   n] Name" of the name pointer table.
  exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" |
            sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort)
  [ "$exports" = "$expected" ] || fail "$file exports: $(tr '\n' ' ' <<<"$exports")"
  imports=$(sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$dump" | sort -u)
  [ -n "$imports" ] || fail "$file: no import table found"
  bad=$(tr 'A-Z' 'a-z' <<<"$imports" | grep -Ev "$system_dlls")
  [ -z "$bad" ] || fail "$file imports non-system DLLs: $(tr '\n' ' ' <<<"$bad")"
  local debug size
  debug=$("$objdump" -h "$file" | awk '$2 ~ /^\.(debug|zdebug|stab)/ {print $2}')
  [ -z "$debug" ] || fail "$file has debug sections: $(tr '\n' ' ' <<<"$debug")"
  size=$(stat -c %s "$file")
  [ "$size" -le $max_dll_bytes ] || fail "$file is $size bytes, more than $max_dll_bytes"
  echo "$(basename "$file"): exports $(tr '\n' ' ' <<<"$exports")| imports $(tr '\n' ' ' <<<"$imports")| $size bytes"
}

check_so() {
  local file=$1 exports
  # Defined dynamic function symbols; the linker's own markers are not functions.
  exports=$(nm -D --defined-only "$file" | awk '$2 ~ /^[TtWiI]$/ {print $3}' | sort)
  [ "$exports" = "$expected" ] || fail "$file exports: $(tr '\n' ' ' <<<"$exports")"
  local others
  others=$(nm -D --defined-only "$file" | awk '$2 !~ /^[TtWiIA]$/ {print $3}')
  [ -z "$others" ] || fail "$file exports data or other symbols: $(tr '\n' ' ' <<<"$others")"
  echo "$(basename "$file"): exports $(tr '\n' ' ' <<<"$exports")"
}

if [ "$dir" = --pe32+ ]; then
  [ $# -ge 3 ] || { echo "$usage" >&2; exit 2; }
  objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
  magic=20b
  expected=$(printf '%s\n' "${@:3}" | sort)
  check_dll "$2"
  echo "$failures failures"
  [ $failures -eq 0 ]
  exit
fi

for bands in 31 20 15; do
  found=0
  for file in "$dir/Tarvo Lumo-$bands.dll" "$dir/Tarvo Lumo-$bands.so"; do
    [ -f "$file" ] || continue
    found=1
    checked=$((checked + 1))
    case $file in
      *.dll) check_dll "$file" ;;
      *.so) check_so "$file" ;;
    esac
  done
  [ $found -eq 1 ] || fail "no plug-in file for Tarvo Lumo-$bands in $dir"
done

echo "$checked plug-in files checked, $failures failures"
[ $failures -eq 0 ]
