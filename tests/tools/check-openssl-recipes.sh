#!/usr/bin/env bash
# usage: check-openssl-recipes.sh <README.md> <build-dir>
# Runs the README's openssl recipes as they stand, then has the simulator serve the certificate
# they made and the terminal connect with their CA file and pin: both checks must pass. A
# recipe that fails on the installed OpenSSL, or makes a certificate or pin the library refuses,
# fails this test.
set -euo pipefail
readme=$1
build=$2

work=$(mktemp -d)
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2> /dev/null || true
    wait "$sim_pid" 2> /dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# The fenced block after the marker line.
awk '/^<!-- openssl-recipes -->$/ { marked = 1; next }
     marked && /^```/ { if (inside) exit; inside = 1; next }
     inside { print }' "$readme" > "$work/recipes.sh"
grep -q '^openssl ' "$work/recipes.sh"
(cd "$work" && bash -euo pipefail recipes.sh > /dev/null 2>&1)
grep -qE '^[0-9a-f]{64}$' "$work/pin"

"$build/tools/sim/tradewire-sim" --port 0 --port-file "$work/port" --cert "$work/server.pem" \
  --key "$work/server.key" --notice-every 0 --quiet > "$work/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do
  [ -s "$work/port" ] && break
  sleep 0.05
done
output=$(printf 'quit\n' | "$build/tools/terminal/tradewire-term" --port "$(cat "$work/port")" \
  --ca-file "$work/ca.pem" --pin "$(cat "$work/pin")" 2>&1) || true
if ! grep -q "Certificate verified for 127.0.0.1. Server key matches the pin." <<< "$output"; then
  printf 'the terminal did not connect with the recipes'"'"' files:\n%s\n' "$output" >&2
  exit 1
fi
echo "openssl recipes: certificate and pin accepted"
