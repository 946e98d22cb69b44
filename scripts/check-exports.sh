#!/usr/bin/env bash
# usage: scripts/check-exports.sh <libtradewire.so>
# Fails when the shared library exports a function that takes a class by value, or a member
# of any class but the data center, the connection class and the two abstract interfaces.
# Instantiations of the standard library's templates that the compiler marks weak are skipped:
# no terminal calls them. Passing a class by value
# is where compilers' ABIs part (who destroys the argument, where the hidden result pointer
# goes); the strings, arrays, locks and records are inline code in the headers, so nothing of
# theirs should be exported at all. Return types are not in the symbol names; they are kept
# free of classes by the headers of the classes allowed here.
set -euo pipefail
library=$1
[ -f "$library" ] || { echo "no such library: $library"; exit 1; }
allowed_classes='CForexDataCenter|CSocketManager|CAbsForexManager|CAbsForexNotify'
scalar='(bool|char|wchar_t|short|int|long|long long|float|double|void|E_[A-Za-z]+|\.\.\.)'

failures=0
while IFS= read -r symbol; do
  case "$symbol" in
  "vtable for "* | "typeinfo for "* | "typeinfo name for "* | "std::"* | "void std::"*) continue ;;
  esac
  if [[ "$symbol" != *"("* ]]; then
    continue  # a C function of the interface (GetAbsTradewire, Tradewire*)
  fi
  owner=${symbol%%::*}
  if [[ "$symbol" != *::* || ! "$owner" =~ ^($allowed_classes)$ ]]; then
    echo "exported outside the interface's classes: $symbol"
    failures=$((failures + 1))
    continue
  fi
  # Template arguments hold commas of their own; a parameter's template is not what counts.
  symbol=$(sed -E ':strip; s/<[^<>]*>//g; t strip' <<<"$symbol")
  parameters=${symbol#*(}
  parameters=${parameters%)*}
  IFS=',' read -ra list <<<"$parameters"
  for parameter in "${list[@]}"; do
    parameter=$(sed -E 's/^ +| +$//g; s/\bconst\b ?//g; s/\bunsigned\b ?//g; s/ +$//' <<<"$parameter")
    if [ -z "$parameter" ] || [[ "$parameter" == *'&' || "$parameter" == *'*' ]] ||
      [[ "$parameter" =~ ^$scalar$ ]]; then
      continue
    fi
    echo "takes a class by value: $symbol"
    failures=$((failures + 1))
  done
done < <(nm -D --defined-only -C "$library" | awk '$2 ~ /^[TW]$/ { $1 = ""; $2 = ""; sub(/^  /, ""); print }')
if [ "$failures" -gt 0 ]; then
  exit 1
fi
echo "exports: no class passed by value, no member outside the interface's classes"
