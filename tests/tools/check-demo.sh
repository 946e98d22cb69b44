#!/usr/bin/env bash
# usage: check-demo.sh <demo.sh> <build-dir>
# Runs the demo and checks that its output shows every step of the session, in order.
set -uo pipefail

output=$(bash "$1" "$2" 2>&1)
status=$?
echo "$output"
if [ "$status" -ne 0 ]; then
  echo "check-demo: the demo exited with $status" >&2
  exit 1
fi

expected=(
  "Connected to 127.0.0.1:[0-9]+ in [0-9.]+ s\. Server key matches the pin\."
  "Logged in."
  "  demo +Demo \(simulated\) +USD +10000\.00"
  "  EURUSD  Euro / US Dollar"
  "Tick [A-Z]{6}  bid [0-9.]+  ask [0-9.]+  \([0-9.]+ ms after it left the server\)"
  "Opened position #[0-9]+: buy 1.00 EURUSD at [0-9.]+\."
  "Trigger prices of position #[0-9]+ set: stop loss 1.0750, take profit 1.0950\."
  "  [0-9]+  EURUSD  buy   1.00 +[0-9.]+  [0-9.]+ +[-0-9.]+ +1.0750 +1.0950"
  "Partly closed position #[0-9]+: sell 0.40 EURUSD at [0-9.]+, profit [-+][0-9.]+ USD, balance now [0-9.]+ USD, 0.60 lots left\."
  "Closed position #[0-9]+: sell 0.60 EURUSD at [0-9.]+, profit [-+][0-9.]+ USD, balance now [0-9.]+ USD\."
  "EURUSD  sell  0.40  [0-9.]+  [0-9.]+ +[-0-9.]+  [0-9]{4}-[0-9]{2}-[0-9]{2} "
  "Placed pending order #[0-9]+: sell limit 0.50 GBPUSD at 1.2900\."
  "Changed pending order #[0-9]+: sell limit at 1.2950"
  "Deleted pending order #[0-9]+\."
  "Open refused by the server: not enough money\."
  "Notice: "
  "Logged out\."
  "Demo finished \(terminal exit status 0\)"
)
rest="$output"
for pattern in "${expected[@]}"; do
  line=$(grep -nE -m1 -- "$pattern" <<<"$rest" | cut -d: -f1)
  if [ -z "$line" ]; then
    echo "check-demo: missing, or out of order: $pattern" >&2
    exit 1
  fi
  rest=$(tail -n +"$((line + 1))" <<<"$rest")
done
echo "check-demo: all ${#expected[@]} events shown in order"
