#!/usr/bin/env bash
# usage: scripts/demo.sh <build-dir>
# Starts the trading-server simulator on a free loopback port, runs a scripted session of
# about twenty seconds in the console terminal, stops the simulator and exits with the
# terminal's status. The simulator makes a new certificate on every run and writes its key's
# pin; the terminal connects only to a server with that key.
set -euo pipefail

build_dir=${1:?usage: scripts/demo.sh <build-dir>}
sim="$build_dir/tools/sim/tradewire-sim"
terminal="$build_dir/tools/terminal/tradewire-term"
for program in "$sim" "$terminal"; do
  if [ ! -x "$program" ]; then
    echo "demo: $program is missing; build first (make build)" >&2
    exit 1
  fi
done

work=$(mktemp -d)
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then
    kill -TERM "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

echo "== Starting the trading-server simulator on a free port of 127.0.0.1"
"$sim" --port 0 --port-file "$work/port" --pin-file "$work/pin" --seed 7 --tick-rate 5 \
  --notice-every 8 --frame-log "$work/frames.log" --quiet >"$work/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 1 100); do
  [ -s "$work/port" ] && break
  if ! kill -0 "$sim_pid" 2>/dev/null; then
    echo "demo: the simulator did not start:" >&2
    cat "$work/sim.log" >&2
    exit 1
  fi
  sleep 0.05
done
port=$(cat "$work/port")
pin=$(cat "$work/pin")
echo "== Simulator listening on 127.0.0.1:$port; account demo, password demo"
echo "== Its certificate's public-key pin (SHA-256): $pin"
echo

cat >"$work/session.txt" <<'SCRIPT'
# Watch the market for a moment.
ticks 4
wait 3
quotes
# A market order, opened, closed in two parts, each with its profit.
buy EURUSD 1.00
trigger last 1.0750 1.0950
positions
ticks 2
wait 5
close last 0.40
close last
account
history
# A pending order, placed far from the market, changed and deleted.
pending sell-limit GBPUSD 0.50 1.2900
orders
wait 2
modify last 1.2950
delete last
orders
# A request the server refuses: 50 lots need more money than the account holds.
buy EURUSD 50
ticks 3
wait 5
logout
SCRIPT

status=0
"$terminal" --port "$port" --pin "$pin" --user demo --password demo --script "$work/session.txt" || status=$?
echo
echo "== Stopping the simulator"
kill -TERM "$sim_pid"
wait "$sim_pid" || true
sim_pid=""
echo "== Demo finished (terminal exit status $status)"
exit "$status"
