#!/usr/bin/env bash
# The window under load, as a user runs it: Telvorn under Xvfb against
# telvorn-board at the full 1 Mbit/s link with 500 aircraft. Reports the
# window's CPU share of one core (from /proc, past a warm-up), its longest
# event-loop stall (a 10 ms heartbeat's lateness), its peak memory, and
# whether every line the board sent after the start-up was counted, and how
# often the list and the scope were drawn (frames a second over the run, and
# the most in any one second).
# Usage: bench/window-bench.sh [SECONDS] [-- TELVORN OPTIONS...]
#        bench/window-bench.sh 60 -- --scope beside    (with the scope shown)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift $(( $# > 1 ? 1 : $# ))
[ "${1:-}" = "--" ] && shift
warmup=10
bin=build/release
[ -x $bin/app/telvorn/telvorn ] || make build
command -v Xvfb >/dev/null || { echo "window-bench: needs Xvfb (apt-get install xvfb)" >&2; exit 1; }

work=$(mktemp -d)
trap 'kill $app $board $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
display=":$(( 190 + RANDOM % 100 ))"
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
$bin/tools/board/telvorn-board --seed 1 --link 1000000 --aircraft ${BENCH_AIRCRAFT:-500} --symlink "$work/board" \
  --record "$work/sent.log" >/dev/null 2>&1 &
board=$!
sleep 1
mkdir -p "$work/settings/Orvalen Software"
printf 'HSp=number:-1\n' >"$work/settings/Orvalen Software/ADSB.conf"
TELVORN_SETTINGS_DIR="$work/settings" TELVORN_STATS="$work/stats.json" DISPLAY="$display" \
  $bin/app/telvorn/telvorn --port "$work/board" "$@" >/dev/null 2>&1 &
app=$!

ticks() { awk '{print $14 + $15}' /proc/$app/stat; }
hz=$(getconf CLK_TCK)
sleep "$warmup"
t0=$(ticks); s0=$(date +%s.%N)
sleep $(( seconds - warmup ))
t1=$(ticks); s1=$(date +%s.%N)
peak_kb=$(awk '/VmHWM/ {print $2}' /proc/$app/status)
# Pause the board first, so that everything it sent has arrived when the
# window closes. Pausing, not ending it: a hang-up makes the kernel drop
# what the window has not read yet (at most one 10 ms gathering here).
kill -STOP $board
cp "$work/sent.log" "$work/sent-before-close.log"
sleep 1
kill -TERM $app; wait $app 2>/dev/null || true
kill -CONT $board; kill $board; wait $board 2>/dev/null || true

# Lines the window should have counted: everything after the board's answer
# to "p", the last reply of the start-up, before which the input is emptied.
sent=$(python3 - "$work/sent-before-close.log" <<'PY'
import re, sys
data = open(sys.argv[1], 'rb').read()
replies = [m.end() for m in re.finditer(rb'\|-?[0-9.]+,-?[0-9.]+;', data)]
start = replies[0] if replies else 0
print(data.count(b'\n', start))
PY
)
python3 - "$work/stats.json" "$t0" "$t1" "$s0" "$s1" "$hz" "$peak_kb" "$sent" "$warmup" <<'PY'
import json, sys
stats = json.load(open(sys.argv[1]))
t0, t1, s0, s1, hz, peak, sent = float(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4]), float(sys.argv[5]), float(sys.argv[6]), int(sys.argv[7]), int(sys.argv[8])
cpu = (t1 - t0) / hz / (s1 - s0) * 100
print(f"cpu {cpu:.1f} % of one core over {s1 - s0:.0f} s")
print(f"longest stall {stats['max_late_ms']:.1f} ms late, {stats['max_late_at_s']:.1f} s into the run; beats over 50 ms late: {stats['late_beats']} of {stats['beats']}")
loaded = [w for w in stats.get("worst", []) if w[0] >= float(sys.argv[9])]
print("worst beats under load (s into the run: ms late): " + ", ".join(f"{a:.1f}: {m:.1f}" for a, m in loaded))
print(f"peak memory {peak / 1024:.1f} MiB")
print(f"lines sent after the start-up {sent}, counted {stats['all']}, rows {stats['rows']}")
for name in ("table", "scope"):
    paints = stats.get(f"{name}_paints", 0)
    if paints:
        print(f"{name} repaints {paints / stats['seconds']:.1f}/s, at most {stats[name + '_paints_max_per_s']} in one second")
PY
