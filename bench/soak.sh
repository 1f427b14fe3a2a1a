#!/usr/bin/env bash
# Soak of the receive path (not a test: it takes minutes and a GiB of disk).
# 1 GiB of mixed traffic through `telvorn replay`: valid lines recorded from
# `telvorn-board --record` between random bytes, runs of markers, bare line
# feeds and mebibyte lines without a line feed. Checks, and prints:
#   - every valid line (each stands between a marker and its line feed) was
#     decoded: each address's "NUMB" equals its accepted records, and the
#     "CRC" panel counts at least the valid frame lines;
#   - peak memory within the bound: the resident size of an empty replay,
#     plus four times the receive cap (the partial line and its buffer's
#     growth), plus 2 KiB a row (1 KiB when the row store is full, and it
#     grows by doubling), plus twice the printed table;
#   - throughput in bytes per second within 2x of clean traffic (the
#     recording's lines alone).
#
# Usage: bench/soak.sh [MIXED_MIB]   (default 1024; `make build` first)
# Work files go to $SOAK_DIR (default build/soak).
set -euo pipefail
cd "$(dirname "$0")/.."

mixed_mib=${1:-1024}
bin=${BUILD_DIR:-build/release}
telvorn=$bin/app/telvorn/telvorn
board=$bin/tools/board/telvorn-board
work=${SOAK_DIR:-build/soak}
clock=2026-12-05T13:27:35.042Z
for tool in "$telvorn" "$board"; do
  [ -x "$tool" ] || { echo "missing $tool: run make build" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "needs GNU time: apt-get install time" >&2; exit 1; }
mkdir -p "$work"

echo "recording 10 s of traffic from telvorn-board (200 aircraft, 20 000 lines/s)"
"$board" --seed 7 --aircraft 200 --rate 20000 --record "$work/board.txt" > "$work/board.path" &
board_pid=$!
for _ in $(seq 50); do [ -s "$work/board.path" ] && break; sleep 0.1; done
timeout 10 cat "$(head -n 1 "$work/board.path")" > /dev/null || true
kill "$board_pid"
wait "$board_pid" || true

echo "building ${mixed_mib} MiB of mixed traffic and 256 MiB of clean traffic"
python3 bench/soak_mix.py --record "$work/board.txt" --mixed "$work/mixed.txt" \
  --mixed-bytes $((mixed_mib << 20)) --clean "$work/clean.txt" --expect "$work/expect.json"

# Replays on a frozen clock; GNU time reports seconds and peak resident KiB.
run() {
  /usr/bin/time -f '%e %M' -o "$work/$1.time" "$telvorn" replay --clock "$clock" "$2" > "$work/$1.json"
}
: > "$work/empty.txt"
run empty "$work/empty.txt"
run clean "$work/clean.txt"
run mixed "$work/mixed.txt"

python3 - "$work" <<'PY'
import json, sys
work = sys.argv[1]
expect = json.load(open(f"{work}/expect.json"))
def timing(name):
    seconds, kib = open(f"{work}/{name}.time").read().split()[-2:]
    return float(seconds), int(kib)
def table(name):
    return json.load(open(f"{work}/{name}.json"))

mixed = table("mixed")
numb = {row[3]: int(row[0]) for row in mixed["rows"]}
missing = {a: n - numb.get(a, 0) for a, n in expect["records"].items() if numb.get(a, 0) != n}
strangers = [a for a in numb if a not in expect["records"]]
records = sum(expect["records"].values())
crc = int(mixed["panels"]["CRC"] or 0)

_, empty_kib = timing("empty")
clean_s, clean_kib = timing("clean")
mixed_s, mixed_kib = timing("mixed")
cap_kib = 64
out_kib = len(open(f"{work}/mixed.json", "rb").read()) / 1024
bound_kib = empty_kib + 4 * cap_kib + 2 * len(mixed["rows"]) + 2 * out_kib
clean_rate = expect["clean_bytes"] / clean_s
mixed_rate = expect["mixed_bytes"] / mixed_s

print(f"mixed: {expect['mixed_bytes'] / 2**20:.0f} MiB, {expect['valid_lines']} valid lines, "
      f"{records} accepted records, {expect['frames']} frame lines")
print(f"decoded: {records - sum(missing.values())} of {records} records; rows {len(mixed['rows'])} "
      f"({len(strangers)} not from the board); CRC panel {crc} >= {expect['frames']}")
print(f"peak memory: mixed {mixed_kib} KiB, clean {clean_kib} KiB, empty {empty_kib} KiB; bound {bound_kib:.0f} KiB")
print(f"throughput: mixed {mixed_rate / 2**20:.1f} MiB/s ({mixed_s:.1f} s), clean {clean_rate / 2**20:.1f} MiB/s "
      f"({clean_s:.1f} s, {expect['clean_lines'] / clean_s / 1e6:.2f} M lines/s); mixed/clean {mixed_rate / clean_rate:.2f}")
failures = []
if missing:
    failures.append(f"{len(missing)} addresses short of their records, e.g. {list(missing.items())[:3]}")
if crc < expect["frames"]:
    failures.append("frame lines lost")
if mixed_kib > bound_kib:
    failures.append("peak memory over the bound")
if mixed_rate < clean_rate / 2:
    failures.append("mixed traffic more than 2x slower than clean")
for f in failures:
    print("FAIL:", f)
print("soak:", "passed" if not failures else "failed")
sys.exit(1 if failures else 0)
PY
