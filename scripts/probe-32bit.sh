#!/usr/bin/env bash
# Can this machine start 32-bit x86 programs? 32-bit Wine, and so every test of the Windows
# build, needs it; some kernels are built without IA32 emulation and refuse them at execve
# ("Exec format error"). Asked directly: a 93-byte 32-bit Linux program that only exits with
# status 0 is started. Exits 0 when it ran; otherwise prints why on one line and exits 1.
#
# Usage: scripts/probe-32bit.sh [PROGRAM]
#   PROGRAM (or $LUMO_PROBE_32BIT_PROGRAM) is started instead of the built-in one; its test, and
#   anyone who wants to see the scripts take the other branch, point it at a file that cannot start.
set -uo pipefail

program=${1:-${LUMO_PROBE_32BIT_PROGRAM:-}}
if [ -z "$program" ]; then
  workdir=$(mktemp -d) || { echo "cannot make a temporary folder for the 32-bit probe"; exit 1; }
  trap 'rm -rf "$workdir"' EXIT
  program=$workdir/exit0-i386
  # ELF header (ELFCLASS32, little-endian, executable, EM_386, entry 0x08048054, one program
  # header), one loadable segment of the whole file at 0x08048000, and the code:
  # mov eax, 1 (exit); xor ebx, ebx (status 0); int 0x80.
  printf '%b' \
    '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00' \
    '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
    '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$program"
  chmod +x "$program"
fi

error=$("$program" 2>&1 >/dev/null)
status=$?
[ $status -eq 0 ] && exit 0
case $error in
  *"Exec format error"*) why="Exec format error: the kernel has no IA32 emulation" ;;
  *) why="exit status $status${error:+: ${error##*: }}" ;;
esac
echo "this machine cannot start 32-bit x86 programs ($why), so 32-bit Wine cannot run here"
exit 1
