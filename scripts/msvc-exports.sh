#!/usr/bin/env bash
# Makes the module-definition files that give Tradewire.dll's CForexDataCenter operations their
# Microsoft-decorated names, so a terminal built with Microsoft's compiler links against them.
#
#   msvc-exports.sh <probe.cpp> <MinGW g++> <layer archive> <aliases.def> <include dirs...>
#
# The probe calls every operation of the class through the installed headers. Compiled by
# clang-cl for the Microsoft ABI, its undefined symbols are the names an MSVC terminal asks for;
# compiled by MinGW g++, they are the names the DLL defines. The two are paired by member name
# (the class has no overloads; an overload stops the build, as pairing would be ambiguous).
# The archive that defines the class is the reference: an operation it defines that the probe
# does not call also stops the build, so the aliases cannot fall behind the header.
#
# Only operations get aliases. Constructors, destructors and assignments are never aliased:
# an MSVC constructor returns `this` and a MinGW one returns nothing, so a terminal gets those
# inline from the headers.
#
# Output: <aliases.def>, an EXPORTS section of "msvc-name = mingw-name" lines for the MinGW link
# (the dllexport-marked names stay exported as they are). scripts/msvc-import-lib.sh makes
# Tradewire.lib from the linked DLL.
set -euo pipefail
export LC_ALL=C

CLASS=CForexDataCenter
probe=$1 gxx=$2 archive=$3 aliases_def=$4
shift 4
includes=()
for dir in "$@"; do
  includes+=("-I$dir")
done
scripts=$(cd "$(dirname "$0")" && pwd)
NM=${NM:-llvm-nm-14}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "msvc-exports: $*" >&2
  exit 1
}

# member name <TAB> symbol, for the class's ordinary (identifier-named) member functions.
msvc_members() {
  sed -e 's/^__imp_//' | awk -v class="$CLASS" '
    match($0, "^\\?[A-Za-z_][A-Za-z0-9_]*@" class "@@") {
      name = substr($0, 2, index($0, "@") - 2)
      print name "\t" $0
    }'
}
mingw_members() {
  sed -e 's/^__imp_//' | awk -v class="$CLASS" '
    {
      prefix = "_ZN" length(class) class
      constPrefix = "_ZNK" length(class) class
      if (index($0, prefix) == 1) rest = substr($0, length(prefix) + 1)
      else if (index($0, constPrefix) == 1) rest = substr($0, length(constPrefix) + 1)
      else next
      if (!match(rest, /^[0-9]+/)) next   # constructors, destructors, operators
      size = substr(rest, 1, RLENGTH) + 0
      print substr(rest, RLENGTH + 1, size) "\t" $0
    }'
}

bash "$scripts/msvc-abi.sh" compile "$probe" "$work/probe.obj" "${includes[@]}" >&2
"$NM" --undefined-only --format=just-symbols "$work/probe.obj" | msvc_members | sort -u > "$work/msvc"
"$gxx" -std=c++17 -c "${includes[@]}" "$probe" -o "$work/probe.o"
"$NM" --undefined-only --format=just-symbols "$work/probe.o" | mingw_members | sort -u > "$work/mingw"
"$NM" --defined-only --format=just-symbols "$archive" 2>/dev/null | mingw_members | sort -u \
  > "$work/defined"

[ -s "$work/msvc" ] || fail "the probe calls no operation of $CLASS"
for side in msvc mingw defined; do
  duplicates=$(cut -f1 "$work/$side" | uniq -d)
  [ -z "$duplicates" ] || fail "$CLASS overloads $duplicates; overloads cannot be paired by name"
done
cut -f1 "$work/msvc" > "$work/msvc.names"
cut -f1 "$work/mingw" > "$work/mingw.names"
cut -f1 "$work/defined" > "$work/defined.names"
cmp -s "$work/msvc.names" "$work/mingw.names" || fail "the two compilers disagree on the probe"
missing=$(comm -13 "$work/msvc.names" "$work/defined.names")
[ -z "$missing" ] || fail "$(basename "$probe") does not call $CLASS::$missing"
# What the probe calls must be what the DLL defines, under the very same MinGW name.
unknown=$(comm -23 <(cut -f2 "$work/mingw") <(cut -f2 "$work/defined"))
[ -z "$unknown" ] || fail "the probe calls $unknown, which the library does not define"

# A class returned by value travels through a hidden pointer that the two ABIs pass in another
# order: no operation may do it (the decorated return type of such a function is ?AV or ?AU).
by_value=$(cut -f2 "$work/msvc" | grep -E "@@[A-Z]E[A-D]A\?A[UV]" || true)
[ -z "$by_value" ] || fail "returns a class by value, which MSVC and MinGW call differently: $by_value"

{
  echo "; Made by scripts/msvc-exports.sh: Microsoft-decorated aliases of $CLASS's operations."
  echo "EXPORTS"
  join -t $'\t' "$work/msvc" "$work/mingw" | awk -F '\t' '{ print "    " $2 " = " $3 }'
} > "$aliases_def.tmp"
mv "$aliases_def.tmp" "$aliases_def"
