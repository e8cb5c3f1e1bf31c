#!/bin/bash
# The fetch tool names why a download failed: the self-signed port of the test world and a
# port nobody listens on must each end with exit code 4 and the cause in words.
# Usage: fetch_causes_test.sh FETCH_TOOL   (inside the test world)
set -euo pipefail
fetch=${1:?usage: fetch_causes_test.sh FETCH_TOOL}
ca=${NEXVALE_TEST_CA:?NEXVALE_TEST_CA is not set: run this inside the test world}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
check() {
  local url=$1 cause=$2 code=0
  "$fetch" --ca-file "$ca" "$url" "$work/target-$RANDOM.exe" > "$work/out.txt" 2>&1 || code=$?
  if [ "$code" -ne 4 ] || ! grep -qxF "cause: $cause" "$work/out.txt"; then
    echo "FAIL: $url: exit code $code, wanted 4 and \"cause: $cause\"; the tool printed:" >&2
    cat "$work/out.txt" >&2
    status=1
  else
    echo "ok: $url: cause: $cause"
  fi
}
check "https://127.0.0.1:4443/index.html" "certificate refused: self-signed certificate (127.0.0.1:4443)"
check "http://127.0.0.1:9/setup.exe" "connection refused: 127.0.0.1:9"
exit "$status"
