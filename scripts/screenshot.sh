#!/usr/bin/env bash
# Takes a screenshot of the Telvorn window on its demo board, under Xvfb.
# The demo shows the scope beside the list; `-- --scope hidden` leaves the
# window as it is without it.
# SCOPE_RANGE=NM stores that scope range first (default: the program's own).
# Usage: scripts/screenshot.sh [OUTPUT.png] [SECONDS] [-- TELVORN OPTIONS...]
#        scripts/screenshot.sh --readme    (both pictures of the README)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--readme" ]; then
  "$0" docs/screenshot.png 10 -- --scope hidden
  # Long enough for trails: a trail point is kept every 5 s.
  SCOPE_RANGE=150 exec "$0" docs/scope.png 60 -- --scope beside
fi

out="${1:-docs/screenshot.png}"
seconds="${2:-10}"
shift $(( $# > 2 ? 2 : $# ))
[ "${1:-}" = "--" ] && shift
telvorn="${TELVORN_BIN:-build/release/app/telvorn/telvorn}"
[ -x "$telvorn" ] || make build

for tool in Xvfb:xvfb import:imagemagick xwininfo:x11-utils; do
  command -v "${tool%%:*}" >/dev/null || missing+=("${tool#*:}")
done
if [ -n "${missing[*]:-}" ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" xauth
fi

work=$(mktemp -d)
trap 'kill $app $xvfb 2>/dev/null || true; wait $app 2>/dev/null || true; rm -rf "$work"' EXIT
display=":$(( 90 + RANDOM % 100 ))"
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
if [ -n "${SCOPE_RANGE:-}" ]; then
  mkdir -p "$work/settings/Orvalen Software"
  printf 'ScopeRange=number:%d\n' "$SCOPE_RANGE" >"$work/settings/Orvalen Software/ADSB.conf"
fi
TELVORN_SETTINGS_DIR="$work/settings" DISPLAY="$display" "$telvorn" --demo "$@" >/dev/null 2>&1 &
app=$!
sleep "$seconds"
id=$(DISPLAY="$display" xwininfo -root -tree | awk '/"ADSB [0-9.]+ - Firmware/ {print $1; exit}')
[ -n "$id" ] || { echo "screenshot: no Telvorn window on $display" >&2; exit 1; }
mkdir -p "$(dirname "$out")"
DISPLAY="$display" import -window "$id" "$out"
echo "$out"
