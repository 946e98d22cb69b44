#!/usr/bin/env bash
# Builds Microsoft-ABI Windows programs on this machine, the way a terminal built with Microsoft's
# compiler sees Tradewire.dll: clang-cl and lld-link for x86_64-pc-windows-msvc, with Wine's
# Windows headers and import libraries (Debian's libwine-dev) in place of the Windows SDK and
# Visual C++ runtime, which cannot be installed here.
#
#   msvc-abi.sh compile <source.cpp> <object.obj> [clang-cl options...]
#   msvc-abi.sh link <program.exe> <objects and libraries...>
#
# Programs link against ucrtbase.dll and vcruntime140.dll as an /MD build does; the few pieces of
# the static Visual C++ runtime that Wine does not ship come from MsvcRuntimeShim.cpp, which
# `link` compiles and adds itself. No C++ standard library is available: sources include C
# headers and <windows.h> only. Paths may be absolute: a source comes after "--", where clang-cl
# does not read a leading slash as an option.
set -euo pipefail

WINE_INCLUDE=${WINE_INCLUDE:-/usr/include/wine/wine}
WINE_LIB=${WINE_LIB:-/usr/lib/x86_64-linux-gnu/wine/x86_64-windows}
CLANG_CL=${CLANG_CL:-clang-cl-14}
LLD_LINK=${LLD_LINK:-lld-link-14}
SHIM=$(cd "$(dirname "$0")" && pwd)/msvc/MsvcRuntimeShim.cpp

# /Zl leaves the default-library names out of the objects: the link names Wine's libraries
# itself. Wine's <winnt.h> declares _InterlockedCompareExchange128 with another signature than
# clang's builtin; the rename keeps the two apart. WINE_UNICODE_NATIVE makes WCHAR wchar_t.
FLAGS=(--target=x86_64-pc-windows-msvc /nologo /EHsc /GR /GS- /MD /Zl /std:c++17 /O2 /W3
  -DWINE_UNICODE_NATIVE -D_InterlockedCompareExchange128=wine_InterlockedCompareExchange128
  /imsvc "$WINE_INCLUDE/msvcrt" /imsvc "$WINE_INCLUDE/windows")

command=${1:-}
shift || true
case "$command" in
  compile)
    source=$1 object=$2
    shift 2
    exec "$CLANG_CL" "${FLAGS[@]}" "$@" /c "/Fo$object" -- "$source"
    ;;
  link)
    program=$1
    shift
    shim_object=$(mktemp --suffix=.obj)
    trap 'rm -f "$shim_object"' EXIT
    "$CLANG_CL" "${FLAGS[@]}" /c "/Fo$shim_object" -- "$SHIM"
    "$LLD_LINK" /nologo /entry:mainCRTStartup /subsystem:console "/out:$program" "$@" \
      "$shim_object" "$WINE_LIB/libucrtbase.a" "$WINE_LIB/libvcruntime140.a" \
      "$WINE_LIB/libkernel32.a"
    ;;
  *)
    echo "usage: $0 compile <source> <object> [options] | link <program> <inputs...>" >&2
    exit 2
    ;;
esac
