#!/usr/bin/env bash
# Runs a command inside the test world: this script is started in a fresh network namespace
# (scripts/test.sh does that) and brings up loopback, an Xvfb display, a 32-bit Wine prefix
# with a persistent wineserver, the test certificate authority (its root in the prefix's ROOT
# store) and nginx on 127.0.0.1:80 and :443, whose site holds the signed stand-in installer.
# Everything is torn down when the command ends.
#
# NEXVALE_WINE_BITS (32 or 64) chooses the prefix: 32-bit with Debian's wine32, or 64-bit with
# wine64 on hosts whose kernel cannot run 32-bit programs.
#
# Exported to the command: DISPLAY, WINEPREFIX, WINEARCH, NEXVALE_WINE (the loader to start
# Windows programs with), NEXVALE_TEST_RUN (the run folder),
# NEXVALE_TEST_WWW (nginx's document root), NEXVALE_TEST_CA (root certificate, PEM),
# NEXVALE_TEST_SELF_SIGNED (the certificate nginx shows on 127.0.0.1:4443, PEM),
# NEXVALE_TEST_FAULT_PORT (the scripted server tests/harness/fault_server.py on 127.0.0.1),
# NEXVALE_TEST_NGINX_PORTS_LOG (nginx's log of the address:port, method, URI and status of each
# request), NEXVALE_TEST_COLLECTOR_RECORD (the requests the analytics collector stand-in behind
# nginx's https://localhost/mp/ received, one JSON line each), and
# the Windows paths NEXVALE_TEST_WWW_WIN, NEXVALE_TEST_CA_WIN and NEXVALE_TEST_SELF_SIGNED_WIN.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
harness_tool=${NEXVALE_HARNESS_TOOL:?NEXVALE_HARNESS_TOOL must name the built harness_tool.exe}

fail() { echo "test harness: $*" >&2; exit 1; }

[ "$(readlink /proc/self/ns/net)" != "$(readlink /proc/1/ns/net)" ] \
  || fail "not inside a network namespace of its own; start it through scripts/test.sh"
ip link set lo up || fail "cannot bring up loopback in the test namespace"
for port in 80 443; do
  if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then fail "port $port is taken in the test namespace"; fi
done

run=$(mktemp -d /tmp/nexvale-test.XXXXXX)
export NEXVALE_TEST_RUN=$run
pids=()
cleanup() {
  set +e
  if [ -n "${WINESERVER:-}" ]; then "$WINESERVER" -k >/dev/null 2>&1; fi
  [ -f "$run/nginx.pid" ] && kill "$(cat "$run/nginx.pid")" 2>/dev/null
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  [ -n "${NEXVALE_KEEP_RUN:-}" ] || rm -rf "$run"
}
trap cleanup EXIT

# Display: the first free number from 90 on.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$run/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
[ -e "/tmp/.X11-unix/X$display" ] || fail "Xvfb did not start (see $run/xvfb.log)"
export DISPLAY=":$display"

# Wine: one prefix for the run, and a wineserver that stays up between test processes.
case "${NEXVALE_WINE_BITS:?NEXVALE_WINE_BITS must be 32 or 64}" in
  32) export WINEARCH=win32 NEXVALE_WINE=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver32 ;;
  64) export WINEARCH=win64 NEXVALE_WINE=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
      export WINELOADER=/usr/lib/wine/wine64 ;;
  *) fail "NEXVALE_WINE_BITS must be 32 or 64" ;;
esac
export WINEPREFIX=$run/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
"$WINESERVER" -p || fail "cannot start the wineserver"
"$NEXVALE_WINE" wineboot -i >"$run/wineboot.log" 2>&1 || fail "cannot create the Wine prefix (see $run/wineboot.log)"
# No window manager runs on the display: Wine draws the frames and captions itself.
"$NEXVALE_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 \
  || fail "cannot configure the Wine prefix"
# Faces: the Noto faces of the skins' scripts are linked into the prefix's Fonts folder, as a
# Windows machine has its faces installed; the Windows faces a skin may name stand for them,
# and each links to the others for the scripts it lacks, so Arabic, Thai and CJK text finds its
# glyphs in fonts made with the default character set, as the toolkit makes them.
fonts=(/usr/share/fonts/truetype/noto/NotoSans{,Arabic,Thai}-{Regular,Bold}.ttf
       /usr/share/fonts/opentype/noto/NotoSansCJK-{Regular,Bold}.ttc)
for font in "${fonts[@]}"; do
  [ -f "$font" ] || fail "the face $font is missing (scripts/setup.sh installs it)"
  ln -sf "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
done
python3 "$here/font_links.py" > "$run/fonts.reg" || fail "cannot write the font settings"
fonts_reg_win=$("$NEXVALE_WINE" winepath -w "$run/fonts.reg" 2>/dev/null)
"$NEXVALE_WINE" regedit /S "$fonts_reg_win" >/dev/null 2>&1 || fail "cannot import the font settings"
# Web addresses the shell opens go to the build's browser stand-in, which records them into the
# file NEXVALE_BROWSER_RECORD names (and does nothing without it), never to the host's desktop.
browser=$(dirname "$harness_tool")/browser_standin.exe
[ -f "$browser" ] || fail "the browser stand-in $browser is not built"
browser_win=$("$NEXVALE_WINE" winepath -w "$browser" 2>/dev/null)
for scheme in http https; do
  "$NEXVALE_WINE" reg add "HKCR\\$scheme\\shell\\open\\command" /ve /d "\"$browser_win\" \"%1\"" /f >/dev/null 2>&1 \
    || fail "cannot register the browser stand-in"
done

# Test CA, trusted by the prefix as a Windows machine would trust it.
"$here/make-test-ca.sh" "$run/ca"
export NEXVALE_TEST_CA=$run/ca/root.pem NEXVALE_TEST_SELF_SIGNED=$run/ca/self-signed.pem
NEXVALE_TEST_CA_WIN=$("$NEXVALE_WINE" winepath -w "$NEXVALE_TEST_CA" 2>/dev/null)
NEXVALE_TEST_SELF_SIGNED_WIN=$("$NEXVALE_WINE" winepath -w "$NEXVALE_TEST_SELF_SIGNED" 2>/dev/null)
export NEXVALE_TEST_CA_WIN NEXVALE_TEST_SELF_SIGNED_WIN
"$NEXVALE_WINE" "$harness_tool" import-root-cert "$NEXVALE_TEST_CA_WIN" || fail "cannot import the test root into the Wine prefix"
# The desktop's process, opened once for the run: started by a window test instead, it would
# hold that test's output open, and ctest waiting, for many seconds after the test ended.
"$NEXVALE_WINE" "$harness_tool" hold-desktop </dev/null >"$run/desktop.log" 2>&1 &
pids+=($!)

# nginx on loopback.
export NEXVALE_TEST_WWW=$run/www
mkdir -p "$NEXVALE_TEST_WWW" "$run/nginx-tmp"
NEXVALE_TEST_WWW_WIN=$("$NEXVALE_WINE" winepath -w "$NEXVALE_TEST_WWW" 2>/dev/null)
export NEXVALE_TEST_WWW_WIN
echo "nexvale test server" > "$NEXVALE_TEST_WWW/index.html"
# The stand-in installer, signed with the pinned test key, where the local deployment downloads
# it (data-recovery/), and beside it (data-recovery/refused/) the copies the installer check
# refuses.
standin=$(dirname "$harness_tool")/product_setup_standin.exe
[ -f "$standin" ] || fail "the stand-in installer $standin is not built"
command -v osslsigncode >/dev/null || fail "osslsigncode is missing (scripts/setup.sh installs it)"
python3 "$here/sign_installer.py" "$run/ca" "$here/signing/test-signing.key" "$standin" "$NEXVALE_TEST_WWW" \
  || fail "cannot sign the stand-in installer"
export NEXVALE_TEST_NGINX_PORTS_LOG=$run/nginx-ports.log
collector_port=8082
export NEXVALE_TEST_FAULT_PORT=8081
sed -e "s|@RUN@|$run|g" -e "s|@WWW@|$NEXVALE_TEST_WWW|g" -e "s|@CA@|$run/ca|g" -e "s|@COLLECTOR_PORT@|$collector_port|g" \
  -e "s|@FAULT_PORT@|$NEXVALE_TEST_FAULT_PORT|g" \
  "$here/nginx.conf.in" > "$run/nginx.conf"
nginx -c "$run/nginx.conf" -p "$run" -e "$run/nginx-error.log" || fail "nginx did not start"
for _ in $(seq 50); do (exec 3<>/dev/tcp/127.0.0.1/443) 2>/dev/null && break; sleep 0.1; done

# The scripted server for responses nginx never sends.
python3 "$here/fault_server.py" 127.0.0.1 "$NEXVALE_TEST_FAULT_PORT" >"$run/fault-server.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do (exec 3<>"/dev/tcp/127.0.0.1/$NEXVALE_TEST_FAULT_PORT") 2>/dev/null && break; sleep 0.1; done
(exec 3<>"/dev/tcp/127.0.0.1/$NEXVALE_TEST_FAULT_PORT") 2>/dev/null || fail "the fault server did not start (see $run/fault-server.log)"

# The analytics collector stand-in, behind nginx.
export NEXVALE_TEST_COLLECTOR_RECORD=$run/collector-record.jsonl
python3 "$here/analytics_collector.py" 127.0.0.1 "$collector_port" "$NEXVALE_TEST_COLLECTOR_RECORD" \
  >"$run/collector.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do (exec 3<>"/dev/tcp/127.0.0.1/$collector_port") 2>/dev/null && break; sleep 0.1; done
(exec 3<>"/dev/tcp/127.0.0.1/$collector_port") 2>/dev/null || fail "the analytics collector did not start (see $run/collector.log)"

"$@"
