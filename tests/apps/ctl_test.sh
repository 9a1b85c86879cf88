#!/usr/bin/env bash
# omnar-ctl as a script or systemd starts it: exit codes, one line per
# failure on stderr, and the timer ending within 100 ms of SIGTERM or SIGINT.
#   ctl_test.sh OMNAR_CTL OMNAR_SIM
set -euo pipefail
ctl="$1"
sim="$2"
dir="$(mktemp -d)"
pid=
timer=
cleanup() {
  for p in $timer $pid; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$sim" --tcp 0 --quiet >"$dir/sim" 2>&1 &
pid=$!
port=
for _ in $(seq 100); do
  port="$(sed -n 's/^omnar-sim: tcp 127.0.0.1:\([0-9]*\)$/\1/p' "$dir/sim")"
  [ -n "$port" ] && break
  sleep 0.05
done
[ -n "$port" ] || fail "the simulator gave no port: $(cat "$dir/sim")"

# The connection from the profile file's CONNECT section, as the panel leaves it.
printf '[CONNECT]\nSerialTcp=0\nIP=127.0.0.1\nPort=%s\nDeviceID=1\n[PLANCOUNT]\ndaytimecount=1\n[DAYTIME]\nTime0=23:59:59,4\n' \
  "$port" >"$dir/Planinfo.ini"

expect() { # CODE COMMAND...: the exit code, and stderr empty (0) or one line
  local want="$1"; shift
  local got=0
  "$ctl" "$@" >"$dir/out" 2>"$dir/err" || got=$?
  [ "$got" = "$want" ] || fail "$* exited $got, not $want: $(cat "$dir/err")"
  local lines; lines="$(wc -l <"$dir/err")"
  if [ "$want" = 0 ]; then [ "$lines" = 0 ] || fail "$* wrote to stderr: $(cat "$dir/err")"
  else [ "$lines" = 1 ] || fail "$* wrote $lines lines to stderr: $(cat "$dir/err")"; fi
}

expect 0 --config "$dir/Planinfo.ini" status
grep -qx 'main source: V1' "$dir/out" || fail "status: $(cat "$dir/out")"
expect 0 --config "$dir/Planinfo.ini" status --json
grep -q '^{"main_source":"V1",' "$dir/out" || fail "status --json: $(cat "$dir/out")"
expect 2 --config "$dir/Planinfo.ini" reboot
expect 2 --config "$dir/Planinfo.ini" switch HDMI --fade 2
expect 3 --tcp 127.0.0.1:1 status
expect 4 --config "$dir/Planinfo.ini" key m1
expect 5 --config "$dir/no/such/folder/Planinfo.ini" plans add daily 08:00:00 HDMI
mkdir "$dir/folder.ini"
expect 5 --config "$dir/folder.ini" status
mkfifo "$dir/fifo.ini"
timeout 5 "$ctl" --config "$dir/fifo.ini" plans list >/dev/null 2>&1 && fail "a FIFO read as a profile"
[ $? = 5 ] || fail "plans list on a FIFO did not end with exit 5"
expect 0 --config "$dir/Planinfo.ini" plans add weekly mon 08:30:00 HDMI
grep -qx 'added weekly Time0 Mon 08:30:00 HDMI' "$dir/out" || fail "plans add: $(cat "$dir/out")"
expect 0 --help
grep -q '^Exit codes: 0 done' "$dir/out" || fail "--help names no exit codes"

# The timer ends at once on SIGTERM and on SIGINT, and says so.
for sig in TERM INT; do
  "$ctl" --config "$dir/Planinfo.ini" timer >"$dir/timer" 2>&1 &
  timer=$!
  for _ in $(seq 200); do grep -q 'Communications equipment normal' "$dir/timer" && break; sleep 0.05; done
  grep -q 'Communications equipment normal' "$dir/timer" || fail "the timer did not connect: $(cat "$dir/timer")"
  sleep 0.3 # into its idle waits
  start=$EPOCHREALTIME
  kill -"$sig" "$timer"
  code=0
  wait "$timer" || code=$?
  end=$EPOCHREALTIME
  timer=
  ms=$(( (${end/./} - ${start/./}) / 1000 ))
  echo "SIG$sig: the timer ended in $ms ms"
  [ "$code" = 0 ] || fail "the timer exited $code on SIG$sig: $(cat "$dir/timer")"
  [ "$ms" -lt 100 ] || fail "the timer took $ms ms to end on SIG$sig"
  grep -q 'Timer: stopped$' "$dir/timer" || fail "no stop line: $(cat "$dir/timer")"
done
echo ok
