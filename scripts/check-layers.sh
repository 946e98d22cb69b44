#!/usr/bin/env bash
# usage: scripts/check-layers.sh [source folder]
# Fails, naming file:line, on any include that breaks the layering:
#  - Tradewire: interface < platform < datacenter < protocol < connection; a layer includes its
#    own headers, those of the layers below and the public "tradewire/..." headers only.
#  - Kestrel: platform < core < ui < app, likewise.
#  - Tradewire and Kestrel never include each other's headers.
#  - tools/ includes public headers and its own, plus the wire vocabulary; no other internal one.
#  - "_WIN32" appears only in the platform folders (tradewire/platform, kestrel/platform,
#    kestrel/ui) and in the public SharedHeap.h, whose inline allocation both the library and
#    the terminal compile.
#  - No CMake file lists its sources with GLOB.
# Fast: reads the sources, builds nothing.
set -euo pipefail
root=${1:-"$(dirname "$0")/.."}
cd "$root"

TRADEWIRE_LAYERS=(platform datacenter protocol connection)
KESTREL_LAYERS=(platform core ui app)
# The replay tool drives the protocol object offline through this one header.
TOOLS_ALLOWED=("protocol/WireVocabulary.h" "protocol/CaptureReplay.h")
INTERNAL_PREFIXES="platform|datacenter|protocol|connection|core|ui|app"

failures=0
fail() {
  echo "$1: $2"
  failures=$((failures + 1))
}

# Every quoted include of the C++ files under $1 as "file:line:header".
quoted_includes() {
  find "$1" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 -r grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' |
    sed -E 's/^([^:]*):([0-9]+):.*"([^"]*)".*/\1:\2:\3/'
}

# check_product <folder> <other product's folder> <layers, lowest first...>
# One awk pass over the includes; the other product's headers are listed first so that an
# include reaching into it is known by name alone.
check_product() {
  local folder=$1 other=$2
  shift 2
  local report
  report=$(awk -F: -v folder="$folder" -v other="$other" -v layers="$*" '
    BEGIN {
      n = split(layers, names, " ")
      for (i = 1; i <= n; i++) rank[names[i]] = i
    }
    /^OWN / { own[substr($0, 5)] = 1; next }
    /^OTHER / { theirs[substr($0, 7)] = 1; next }
    {
      file = $1; line = $2; header = $3
      split(header, parts, "/")
      prefix = parts[1]
      if (prefix == header) next
      if (prefix == "tradewire" && folder != "tradewire") {
        print file ":" line ": includes " header " of tradewire"; next
      }
      if (!(header in own) && (header in theirs)) {
        print file ":" line ": includes " header " of " other; next
      }
      if (!(prefix in rank)) next
      rel = substr(file, length(folder) + 2)
      split(rel, where, "/")
      if (!(where[1] in rank) || rank[prefix] > rank[where[1]]) {
        print file ":" line ": " where[1] " includes " header ", a layer above it"
      }
    }' <(find "$folder" -type f -name '*.h' | sed "s|^$folder/|OWN |"
         find "$other" -type f -name '*.h' | sed "s|^$other/|OTHER |"
         quoted_includes "$folder"))
  if [ -n "$report" ]; then
    echo "$report"
    failures=$((failures + $(wc -l <<<"$report")))
  fi
}

check_tools() {
  local file line header allowed
  while IFS=: read -r file line header; do
    [[ "$header" =~ ^($INTERNAL_PREFIXES)/ ]] || continue
    allowed=no
    for name in "${TOOLS_ALLOWED[@]}"; do
      [ "$header" = "$name" ] && allowed=yes
    done
    if [ "$allowed" = no ]; then
      fail "$file:$line" "a tool includes the internal header $header"
    fi
  done < <(quoted_includes tools)
}

# Prints "file:line" for every line under the folders given that matches the pattern given.
matching_lines() {
  local pattern=$1
  shift
  "$@" -print0 | xargs -0 -r grep -Hn -- "$pattern" | cut -d: -f1,2 | sed 's|^\./||'
}

check_win32_guards() {
  local hit
  while IFS= read -r hit; do
    fail "$hit" "_WIN32 outside a platform folder"
  done < <(matching_lines _WIN32 find tradewire kestrel tools tests bench fuzz -type f \
             \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -not -path 'tradewire/platform/*' \
             -not -path 'kestrel/platform/*' -not -path 'kestrel/ui/*' \
             -not -path 'tradewire/interface/include/tradewire/SharedHeap.h')
}

check_cmake_lists() {
  local hit
  while IFS= read -r hit; do
    fail "$hit" "GLOB in a build list: name the files"
  done < <(matching_lines GLOB find . \( -path './build*' -o -path './.git' \) -prune -o -type f \
             \( -name CMakeLists.txt -o -name '*.cmake' \))
}

check_product tradewire kestrel "${TRADEWIRE_LAYERS[@]}"
check_product kestrel tradewire "${KESTREL_LAYERS[@]}"
check_tools
check_win32_guards
check_cmake_lists

if [ "$failures" -gt 0 ]; then
  echo "check-layers: $failures offending lines" >&2
  exit 1
fi
echo "check-layers: clean"
