#!/usr/bin/env bash
# The real program on pseudo-terminals of dravonsim: it finds every unit, upgrades their older
# firmware, and when one unit's terminal goes away in the middle of its upgrade, that channel is
# reported lost once, the others finish, and the program goes back to idle.
#   tests/e2e/lost_port.sh BUILD_FOLDER
set -euo pipefail
build=$(realpath "$1")
work=$(mktemp -d)
sim=""
cleanup() {
  [ -n "$sim" ] && kill "$sim" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# An installation of its own: the program, its driver folder and firmware file, a home.
mkdir -p "$work/prog" "$work/home"
cp "$build/src/ui/dravonprog" "$work/prog/"
cp -r "$build/src/ui/VelmorDRVs" "$build/src/ui/DravonLAPS.FWR" "$work/prog/"

"$build/sim/dravonsim" --units 4 --pace --old 0:V1.05 --old 1:V1.05 --old 2:V1.05 \
  --old 3:V1.05 --hangup 1:10 --dir "$work/prog" > "$work/sim.out" 2> "$work/sim.err" &
sim=$!
for _ in $(seq 50); do [ -f "$work/prog/ConfigDqg.ini" ] && break; sleep 0.1; done

HOME="$work/home" QT_QPA_PLATFORM=offscreen DRAVONPROG_QUIT_AFTER_MS=16000 \
  "$work/prog/dravonprog" > "$work/prog.out" 2>&1 &
prog=$!

# CPU time of the program over 2 s once the upgrades are over (the lost channel still waits for
# its time-out then).
ticks() { awk '{print $14 + $15}' "/proc/$prog/stat"; }
sleep 4
before=$(ticks)
sleep 2
after=$(ticks)
hz=$(getconf CLK_TCK)
cpu=$(awk -v a="$before" -v b="$after" -v hz="$hz" 'BEGIN { printf "%.1f", (b - a) * 100 / hz / 2 }')
echo "program CPU over 2 s after the loss: ${cpu}% of one core"

wait "$prog" || true
log=$(ls "$work/home/QuelarxLogS"/*.log 2>/dev/null | head -n 1)
[ -n "$log" ] || { echo "FAIL: no log written"; cat "$work/prog.out"; exit 1; }
tr -d '\r' < "$log" > "$work/log.txt"

fail=0
check() {  # description, expected count, pattern
  local n
  n=$(grep -c -- "$3" "$work/log.txt" || true)
  if [ "$n" -ne "$2" ]; then echo "FAIL: $1: $n lines, expected $2"; fail=1; else echo "ok: $1"; fi
}
check "four units found" 4 "Find Device: DravonQ40LAP V1.05!"
for c in C1 C3 C4; do check "$c upgraded" 1 "$c : Programmer .s Firmware Fpgrade Completed!"; done
check "C2 reported lost once" 1 "C2 : Programmer connection lost: "
check "C2 ends by its time-out" 1 "C2 : Command Executed Time Out!"
check "no other channel lost" 1 "connection lost"
if awk -v c="$cpu" 'BEGIN { exit !(c > 5) }'; then echo "FAIL: CPU ${cpu}% after the loss"; fail=1; fi
if [ "$fail" -ne 0 ]; then cat "$work/log.txt"; exit 1; fi
echo "lost-port end-to-end test passed"
