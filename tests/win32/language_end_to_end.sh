#!/usr/bin/env bash
# Starts the setup in a fresh prefix whose wineserver runs with LC_ALL=ar_SA.UTF-8, so the
# user's default UI language is 1025, and checks that it chose Arabic: the log names the code
# and the window title is the Arabic title with the product name filled in.
#   language_end_to_end.sh SETUP_EXE HARNESS_TOOL CONFIG_SOURCE_DIR
set -euo pipefail
setup=$1 tool=$2 config=$3
: "${NEXVALE_WINE:?run inside the test world}" "${WINESERVER:?}" "${NEXVALE_TEST_RUN:?}"

export WINEPREFIX
WINEPREFIX=$(mktemp -d "$NEXVALE_TEST_RUN/prefix-arabic.XXXXXX")
cleanup() { "$WINESERVER" -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"; }
trap cleanup EXIT
# The locale is given to the Wine processes only (the host need not have it installed).
arabic=(env LC_ALL=ar_SA.UTF-8)
"${arabic[@]}" "$WINESERVER" -p
"${arabic[@]}" "$NEXVALE_WINE" wineboot -i >/dev/null 2>&1

expected=$(python3 - "$config" <<'PY'
import sys
base = sys.argv[1]
def section(path, name):
    text = open(path, "rb").read()[2:].decode("utf-16-le")
    table, inside = {}, False
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("["):
            inside = line[1:line.index("]")].strip().lower() == name.lower()
        elif inside and "=" in line:
            key, value = line.split("=", 1)
            table[key.strip()] = value.strip()
    return table
product = section(base + "/productInfo.ini", "PRODUCT")["STR_PRODUCT_NAME"]
print(section(base + "/Arabic/text.ini", "LANSTR")["STR_MESSAGEBOX_TITLE"].replace("PRODUCT", product))
PY
)

"${arabic[@]}" "$NEXVALE_WINE" "$setup" &
setup_pid=$!
title=$("${arabic[@]}" "$NEXVALE_WINE" "$tool" window-title SetupMainFrame 60 | tr -d '\r')
# Closing would ask whether to quit: the setup is ended by its process id.
kill "$setup_pid"
wait "$setup_pid" || true

log=$(find "$WINEPREFIX/drive_c" -path '*nexvale_down*/Log/nexvale_down.log' | head -n 1)
status=0
if ! grep -aq 'Language Code:1025' "$log"; then echo "FAIL: the log does not name language code 1025"; status=1; fi
if [ "$title" != "$expected" ]; then
  echo "FAIL: window title '$title', expected the Arabic title '$expected'"
  status=1
fi
[ $status -eq 0 ] && echo "PASS: language code 1025, window title '$title'"
exit $status
