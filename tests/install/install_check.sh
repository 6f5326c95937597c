#!/usr/bin/env bash
# Checks `cmake --install` of a build tree: the layout under the prefix, that the programs
# started through their bin/ links find assets/ beside themselves in lib/reedmark, and
# that the desktop entry and the AppStream metainfo validate. With xvfb-run present the
# installed game also loads a save in its window. Usage: install_check.sh BUILD_DIR
set -euo pipefail

build=$1
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*"
  exit 1
}

cmake --install "$build" --prefix "$work/usr" >/dev/null
cd "$work/usr"

for f in lib/reedmark/reedmark lib/reedmark/reedmark-sim lib/reedmark/reedmark-headless \
  lib/reedmark/assets/font.bmp lib/reedmark/assets/data/world.json lib/reedmark/assets/data/rules.json \
  lib/reedmark/assets/music/01-river-lanterns.wav lib/reedmark/assets/music/04-court-of-returning-light.wav \
  lib/reedmark/assets/art/characters-v2.png lib/reedmark/assets/art/terrain-units-v2.png \
  lib/reedmark/assets/art/riverlands-v2.png share/icons/hicolor/scalable/apps/reedmark.svg \
  share/applications/org.reedmark.Reedmark.desktop share/metainfo/org.reedmark.Reedmark.metainfo.xml; do
  [ -s "$f" ] || fail "$f is not installed"
done
for program in reedmark reedmark-sim reedmark-headless; do
  [ "$(readlink "bin/$program")" = "../lib/reedmark/$program" ] || fail "bin/$program is not a link into lib/reedmark"
done
for size in 16 24 32 48 64 128 256; do
  file "share/icons/hicolor/${size}x${size}/apps/reedmark.png" | grep -q "PNG image data, $size x $size," ||
    fail "the ${size}x${size} icon is not a $size x $size PNG"
done
grep -q '^<svg ' share/icons/hicolor/scalable/apps/reedmark.svg || fail "the scalable icon is not SVG"

desktop-file-validate share/applications/org.reedmark.Reedmark.desktop || fail "desktop entry"
appstreamcli validate --no-net share/metainfo/org.reedmark.Reedmark.metainfo.xml || fail "AppStream metainfo"

# The installed headless driver, started through its link, begins a campaign.
answers=$(printf 'frame\naction 1\naction 24\nframe 3\nquit\n' | bin/reedmark-headless --pref "$work/pref")
! grep -q '"ok":false' <<<"$answers" || fail "headless driver: $answers"
grep -q '"screenName":"scCampaign"' <<<"$answers" || fail "the installed game did not begin a campaign"
[ -s "$work/pref/quick.json" ] || fail "no quick save"
# The installed engine console finds the world beside itself.
grep -q '"ok":true' <<<"$(echo 'new 1 1 2 1 730127' | bin/reedmark-sim)" || fail "engine console"

if ! command -v xvfb-run >/dev/null; then
  echo "the window part is skipped: xvfb-run is not installed"
  exit 0
fi
# The installed game loads the save in its window; its first computer step writes the
# first automatic save into its own preference directory.
export XDG_DATA_HOME=$work/data HOME=$work SDL_AUDIODRIVER=dummy
# In a sanitizer build the window's libraries (X11, D-Bus, Mesa) keep allocations until
# exit, which the leak checker would report; memory errors are still caught, and the
# shell's own leaks are checked by the headless tests.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  "$1" --load "$2" >"$3/log" 2>&1 & pid=$!
  for _ in $(seq 100); do [ -e "$4/auto1.json" ] && break; sleep 0.1; done
  kill -TERM $pid; wait $pid' _ "$work/usr/bin/reedmark" "$work/pref/quick.json" "$work" \
  "$XDG_DATA_HOME/Reedmark/Reedmark" || fail "the game window: exit status $? ($(cat "$work/log"))"
[ -s "$XDG_DATA_HOME/Reedmark/Reedmark/auto1.json" ] || fail "the installed game did not load the save"
echo "installed layout, links, icons, desktop entry, metainfo and --load all work"
