#!/usr/bin/env bash
# Runs the tiny terminal against an independent TLS peer, `openssl s_server`, on loopback and
# checks that the login frame arrives there byte for byte.
set -euo pipefail

terminal="$1"
work="$(mktemp -d)"
server_pid=""
feeder_pid=""
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    [ -n "$feeder_pid" ] && kill "$feeder_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -subj /CN=127.0.0.1 \
    -days 1 -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null

# s_server treats the end of its input as "quit", so it reads from a pipe that stays open.
mkfifo "$work/stdin"
sleep 60 > "$work/stdin" &
feeder_pid=$!

for attempt in $(seq 1 20); do
    port=$(( 20000 + RANDOM % 40000 ))
    openssl s_server -accept "127.0.0.1:$port" -cert "$work/cert.pem" -key "$work/key.pem" \
        -quiet -naccept 1 < "$work/stdin" > "$work/received" 2> "$work/server.log" &
    server_pid=$!
    sleep 0.3
    if kill -0 "$server_pid" 2>/dev/null; then
        break
    fi
    server_pid=""
done
[ -n "$server_pid" ] || { echo "no port for s_server"; exit 1; }

"$terminal" "$port" trader pw

# The server ends once its one client has gone.
for i in $(seq 1 50); do
    kill -0 "$server_pid" 2>/dev/null || break
    sleep 0.1
done

printf '000050000000''8000\003''trader\001trader\001pw\001''0\001''-1\001''2\001''1.0.0.1\001''\004\n' \
    > "$work/expected"
if ! cmp "$work/expected" "$work/received"; then
    echo "expected:"; od -c "$work/expected"
    echo "received:"; od -c "$work/received"
    cat "$work/server.log"
    exit 1
fi
echo "login frame arrived byte for byte"
