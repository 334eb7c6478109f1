#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A hand check with the Orca screen reader: runs Morvello on a virtual display
# with the accessibility bus, drives it with key presses and keeps Orca's
# debug log, whose "SPEECH OUTPUT" lines are what Orca would have said. Speech
# itself is off: with no sound card the speech server blocks Orca.
# Needs (not a dependency of the program): orca at-spi2-core xvfb dbus-x11 xdotool
#   tools/orca-check.sh <morvello binary> <out folder> <steps file>
# The steps file is bash run once the program is up: `k Tab` presses keys,
# `t "ROSSI"` types, `w 2` waits, `mark "FGenette"` notes the time in
# marks.txt so that each screen's speech can be found by the log's times
# (Orca names each window it enters, too). speech.txt keeps what was said.
set -euo pipefail
bin=$(readlink -f "$1")
out=$(readlink -f "$2")
steps=$(readlink -f "$3")
here=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$out"
rm -f "$out/marks.txt" "$out/orca.log"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$here/permorvello" "$work/"

display=:${ORCA_CHECK_DISPLAY:-77}
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
sleep 2

# A home of its own: Orca's settings and anything it starts stay this run's.
mkdir -p "$work/home"
export HOME=$work/home XDG_RUNTIME_DIR=$work/home/run XDG_CACHE_HOME=$work/home/.cache
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
export DISPLAY=$display BIN=$bin OUT=$out STEPS=$steps WORK=$work
dbus-run-session -- bash -c '
  set -u
  /usr/libexec/at-spi-bus-launcher --launch-immediately >"$OUT/atspi.log" 2>&1 &
  bus=$!
  sleep 2
  export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 GTK_MODULES=gail:atk-bridge
  orca --replace -d speech -d braille -u "$OUT/orca-prefs" --debug-file "$OUT/orca.log" >"$OUT/orca.out" 2>&1 &
  orca=$!
  sleep 6
  (cd "$WORK" && exec "$BIN") >"$OUT/morvello.out" 2>&1 &
  app=$!
  sleep 6
  k() { xdotool key --delay 150 "$@"; sleep 1.2; }
  t() { xdotool type --delay 80 "$1"; sleep 0.5; }
  w() { sleep "$1"; }
  mark() { echo "$(date +%H:%M:%S.%N) $1" >>"$OUT/marks.txt"; }
  focuswin() { xdotool search --sync --onlyvisible --name "$1" windowfocus --sync 2>/dev/null || true; sleep 1; }
  . "$STEPS"
  sleep 5
  kill $app 2>/dev/null
  sleep 3
  kill $orca 2>/dev/null
  sleep 1
  kill $bus 2>/dev/null
  true
'
grep -h "SPEECH OUTPUT" "$out/orca.log" >"$out/speech.txt" || true
echo "Orca said $(wc -l <"$out/speech.txt") things; see $out/speech.txt"
