#!/usr/bin/env bash
# Smoke test of the real game window on a virtual X display: the game is started with a
# fresh preference directory, its window is resized so the canvas is letterboxed (clicks
# must still land on the buttons), and xdotool plays the opening: "New campaign", "Begin",
# computer turns, F5, a click on the map, F11. Then SIGTERM must end it with status 0,
# settings.json and quick.json must be in the preference directory, and a screenshot of
# the window must show a picture. Usage: smoke.sh PATH_TO_REEDMARK [SCREENSHOT_OUT]
set -euo pipefail

game=$(realpath "$1")
shot_out=${2:-}

if [ "${REEDMARK_INSIDE_XVFB:-}" != 1 ]; then
  if ! command -v xvfb-run >/dev/null; then
    echo "SKIPPED: xvfb-run is not installed (scripts/install-deps installs it)"
    exit 77
  fi
  # A 1600 x 1100 screen: the window is made as large, so the 1280 x 800 canvas is shown
  # at 1.25 times its size with black bars of 50 pixels above and below it.
  REEDMARK_INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1600x1100x24 -nolisten tcp" "$0" "$@"
fi

for tool in xdotool import identify; do
  command -v "$tool" >/dev/null || { echo "FAILED: $tool is not installed (scripts/install-deps installs it)"; exit 1; }
done

work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*"
  echo "--- game output:"
  cat "$work/log" 2>/dev/null || true
  exit 1
}

# SDL keeps saves and settings under $XDG_DATA_HOME/Reedmark/Reedmark/.
export XDG_DATA_HOME=$work/data HOME=$work SDL_AUDIODRIVER=dummy
# In a sanitizer build the window's libraries (X11, D-Bus, Mesa) keep allocations until
# exit, which the leak checker would report; memory errors are still caught, and the
# shell's own leaks are checked by the headless tests.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
pref=$XDG_DATA_HOME/Reedmark/Reedmark
started=$(date +%s%N)
elapsed() { echo "$((($(date +%s%N) - started) / 1000000)) ms"; }
"$game" >"$work/log" 2>&1 &
pid=$!

wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Reedmark - The Tarn Chronicles$' | head -1) ||
  fail "no game window appeared"
echo "window $wid after $(elapsed)"
xdotool windowmove --sync "$wid" 0 0
xdotool windowsize --sync "$wid" 1600 1100
sleep 0.5

# A canvas point (x, y) on the letterboxed window: scale 1.25, 50 pixels of bar above.
click() {
  xdotool mousemove --window "$wid" $(($1 * 5 / 4)) $((50 + $2 * 5 / 4)) click 1
  sleep 0.5
}
# Waits up to N tenths of a second for a file to appear.
appears() {
  for _ in $(seq "$2"); do
    [ -e "$1" ] && return 0
    kill -0 "$pid" 2>/dev/null || fail "the game ended early"
    sleep 0.1
  done
  return 1
}
await() { appears "$1" 100 || fail "$1 did not appear"; }

click 975 238 # "New campaign"
# "Begin" starts the campaign and writes the quick save. A machine so busy that both
# clicks reach the game in one frame loses the second (it meets the title's buttons), so
# it is clicked again until the campaign has begun.
for _ in 1 2 3; do
  click 902 666
  appears "$pref/quick.json" 50 && break
done
await "$pref/quick.json"
sleep 1.5 # computer players take their turns
rm "$pref/quick.json"
xdotool windowfocus --sync "$wid"
xdotool key F5
await "$pref/quick.json"
click 900 300 # a province on the map
sleep 0.5
import -window root "$work/shot.png"
[ -n "$shot_out" ] && cp "$work/shot.png" "$shot_out"
xdotool key F11
sleep 0.5

kill -TERM "$pid"
status=0
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the game did not end within 10 s of SIGTERM"
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "exit status $status after SIGTERM"

[ -s "$pref/settings.json" ] || fail "no settings.json in $pref"
[ -s "$pref/quick.json" ] || fail "no quick.json in $pref"
grep -q '"fullscreen":true}$' "$pref/settings.json" || fail "F11 was not kept: $(cat "$pref/settings.json")"

# The screenshot shows the campaign screen: many colours, neither black nor one colour.
colours=$(identify -format '%k' "$work/shot.png")
mean=$(identify -format '%[fx:int(255*mean)]' "$work/shot.png")
echo "screenshot: $colours colours, mean level $mean"
[ "$colours" -gt 200 ] || fail "the screenshot is nearly blank ($colours colours)"
[ "$mean" -gt 20 ] || fail "the screenshot is nearly black (mean $mean)"
echo "passed in $(elapsed)"
