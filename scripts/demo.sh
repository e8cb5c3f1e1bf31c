#!/usr/bin/env bash
# The main job, end to end on this machine: builds the setup program, starts its local build
# under Wine (inside the same loopback test world the tests use), waits for its window, takes a
# screenshot, shows what it wrote to its work folder and log, and closes it again.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

source scripts/windows-preset.sh
[ "$windows_preset" = win32 ] ||
  echo "demo: this host cannot execute 32-bit programs; showing the x86_64 build of the same code" >&2
cmake --preset "$windows_preset" >/dev/null
cmake --build --preset "$windows_preset" >/dev/null

mkdir -p build/demo
export NEXVALE_HARNESS_TOOL=$PWD/build/$windows_preset/bin/harness_tool.exe
export NEXVALE_DEMO_SETUP=$PWD/build/$windows_preset/bin/VandrelSetup-local.exe
export NEXVALE_DEMO_OUT=$PWD/build/demo
unshare --net -- tests/harness/run-in-namespace.sh bash -c '
  set -euo pipefail
  title="Vandrel Data Recovery Setup"
  echo "demo: starting $(basename "$NEXVALE_DEMO_SETUP") under Wine ($WINEARCH prefix, display $DISPLAY)"
  "$NEXVALE_WINE" "$NEXVALE_DEMO_SETUP" &
  setup=$!
  "$NEXVALE_WINE" "$NEXVALE_HARNESS_TOOL" wait-window "$title" 60
  sleep 2
  import -display "$DISPLAY" -window root "$NEXVALE_DEMO_OUT/setup-window.png"
  echo "demo: the window \"$title\" is up; screenshot: $NEXVALE_DEMO_OUT/setup-window.png"
  work="$WINEPREFIX/drive_c/Program Files/nexvale_down/VandrelSetup-local"
  echo "demo: work folder C:\\Program Files\\nexvale_down\\VandrelSetup-local\\ holds:"
  (cd "$work" && find . -mindepth 1 | sed "s|^\./|  |")
  echo "demo: its log, Log\\nexvale_down.log:"
  sed "s/^/  | /" "$work/Log/nexvale_down.log"
  echo
  # Closed as a user closes it: Alt+F4 over the window, then Yes in the quit question.
  xdotool search --name "^$title\$" windowfocus --sync key alt+F4
  question=$("$NEXVALE_WINE" "$NEXVALE_HARNESS_TOOL" message-box "$title" 20 | tr -d "\r")
  echo "demo: the setup asks: $(sed -n "s/^text: //p" <<<"$question")"
  read -r left top right bottom < <(awk "\$1 == \"button\" && \$2 == 6 {print \$3, \$4, \$5, \$6}" <<<"$question")
  xdotool mousemove $(((left + right) / 2)) $(((top + bottom) / 2)) click 1
  status=0
  wait "$setup" || status=$?
  echo "demo: the setup closed with exit code $status"
'
