#!/bin/sh
# run-under-wine.sh WINE PREFIX PROGRAM
# Runs a Windows test program in a Wine prefix of the build's own, so that the
# tests get a real registry without touching anyone's Wine set-up.
set -u
wine=$1 prefix=$2 program=$3
# No .NET or HTML engine: a fresh prefix would otherwise offer to install them.
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
wineserver=$(dirname "$(command -v "$wine")")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || echo true)
if [ ! -f "$prefix/system.reg" ]; then
  echo "creating the Wine prefix $prefix"
  "$wine" wineboot --init || { echo "wineboot failed: delete $prefix and try again"; exit 1; }
  # Let the first server write the new registry out before the tests start.
  "$wineserver" -w
fi
"$wine" "$program"
status=$?
"$wineserver" -w
exit $status
