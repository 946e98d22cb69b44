#!/usr/bin/env bash
# Installs the build into a scratch prefix and imports the package from a clean environment,
# found only through PYTHONPATH as the README says.
#   check-install.sh <build folder>
set -euo pipefail
build=${1:?build folder}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" --component python > /dev/null
site=$prefix/lib/python3/dist-packages
env -i PATH=/usr/bin:/bin PYTHONPATH="$site" PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 -c '
import sys, tradewire
assert tradewire.__file__.startswith(sys.argv[1]), tradewire.__file__
import tradewire.report
print("installed package:", tradewire.__file__)
' "$site"
test -f "$site/tradewire/py.typed"
test -f "$site/tradewire/records.pyi"
