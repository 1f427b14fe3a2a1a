#!/bin/sh
# run-under-wine.sh WINE PREFIX PROGRAM
# Runs a Windows test program under Wine in a prefix of the build's own, so
# that the tests get a real registry without touching anyone's Wine set-up.
set -u
wine=$1
prefix=$2
program=$3

export WINEPREFIX="$prefix"
export WINEDEBUG=-all
# No .NET or HTML engine: a fresh prefix would otherwise offer to install them.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

wineserver=$(dirname "$(command -v "$wine")")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || true)

if [ ! -f "$prefix/system.reg" ]; then
  echo "creating the Wine prefix $prefix"
  mkdir -p "$prefix"
  if ! "$wine" wineboot --init >"$prefix.boot.log" 2>&1; then
    cat "$prefix.boot.log"
    echo "wineboot failed: delete $prefix and try again"
    exit 1
  fi
  # Let the first server write the new registry out before the tests start.
  [ -n "$wineserver" ] && "$wineserver" -w
fi

"$wine" "$program"
status=$?
[ -n "$wineserver" ] && "$wineserver" -w
exit $status
