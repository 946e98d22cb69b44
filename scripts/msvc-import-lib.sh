#!/usr/bin/env bash
# Makes Tradewire.lib, the import library a terminal built with Microsoft's linker links
# against, from the built DLL's own export table: every export that is not a GCC-mangled name
# (_Z...), that is the C functions (GetAbsTradewire and the others) and the Microsoft-decorated
# aliases of scripts/msvc-exports.sh. Made from the DLL, so it names nothing the DLL lacks.
# Usage: msvc-import-lib.sh <Tradewire.dll> <Tradewire.lib>
set -euo pipefail
export LC_ALL=C
dll=$1 lib=$2
READOBJ=${READOBJ:-llvm-readobj-14}
DLLTOOL=${DLLTOOL:-llvm-dlltool-14}
def=$lib.def

{
  echo "LIBRARY $(basename "$dll")"
  echo "EXPORTS"
  "$READOBJ" --coff-exports "$dll" | sed -n 's/^ *Name: //p' | grep -v '^_Z' | sort |
    sed -e 's/^/    /'
} > "$def"
grep -q '^    GetAbsTradewire$' "$def" || { echo "msvc-import-lib: no GetAbsTradewire in $dll" >&2; exit 1; }
grep -q '^    ?' "$def" || { echo "msvc-import-lib: no Microsoft-decorated name in $dll" >&2; exit 1; }
"$DLLTOOL" -m i386:x86-64 -d "$def" -l "$lib"
