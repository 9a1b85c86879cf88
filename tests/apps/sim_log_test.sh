#!/usr/bin/env bash
# omnar-sim --log: the frame trace goes to the file, the console keeps only
# the simulator's own lines; a log that cannot be written is refused.
set -euo pipefail
sim="$1"
dir="$(mktemp -d)"
pid=
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; wait 2>/dev/null || true; rm -rf "$dir"; }
trap cleanup EXIT

"$sim" --tcp 0 --log "$dir/trace.log" >"$dir/console" 2>&1 &
pid=$!
port=
for _ in $(seq 100); do
  port="$(sed -n 's/^omnar-sim: tcp 127.0.0.1:\([0-9]*\)$/\1/p' "$dir/console")"
  [ -n "$port" ] && break
  sleep 0.05
done
[ -n "$port" ] || { echo "no port in:"; cat "$dir/console"; exit 1; }

# A status query for device 1, and its 13-byte answer.
exec 3<>"/dev/tcp/127.0.0.1/$port"
printf '\x05\x01\xfe\x00\x00\x00\x00\x00\x00\x00\x00\x00\xfa' >&3
head -c 13 <&3 >"$dir/reply"
exec 3<&-
[ "$(stat -c %s "$dir/reply")" = 13 ] || { echo "no reply"; exit 1; }

for _ in $(seq 100); do grep -q ' -> 05 01 fe' "$dir/trace.log" && break; sleep 0.05; done
grep -q ' <- 05 01 fe 00 00 00 00 00 00 00 00 00 fa' "$dir/trace.log" || { echo "query not in the log:"; cat "$dir/trace.log"; exit 1; }
grep -q ' -> 05 01 fe' "$dir/trace.log" || { echo "reply not in the log:"; cat "$dir/trace.log"; exit 1; }
if grep -q -- ' <- \| -> ' "$dir/console"; then echo "trace on the console:"; cat "$dir/console"; exit 1; fi
grep -q "omnar-sim: frame trace in $dir/trace.log" "$dir/console" || { echo "the console does not name the log"; exit 1; }

kill "$pid"
wait "$pid" || true
pid=
grep -q '^omnar-sim: stopped$' "$dir/console" || { echo "no stop line on the console"; cat "$dir/console"; exit 1; }

# A log that cannot be written stops the simulator with a message.
if "$sim" --tcp 0 --log "$dir/no/such/folder/trace.log" >"$dir/out" 2>&1; then echo "started without its log"; exit 1; fi
grep -q 'cannot write the log' "$dir/out" || { cat "$dir/out"; exit 1; }
echo ok
