#!/bin/bash
# Kills the fetch tool with SIGKILL at random moments, 20 times in a row on one file, then lets
# it finish: the resumed download must be byte-identical to the served file.
# Usage: kill_resume_test.sh FETCH_TOOL   (inside the test world: nginx with its /slow/ location)
set -euo pipefail
fetch=${1:?usage: kill_resume_test.sh FETCH_TOOL}
www=${NEXVALE_TEST_WWW:?NEXVALE_TEST_WWW is not set: run this inside the test world}
ca=${NEXVALE_TEST_CA:?NEXVALE_TEST_CA is not set}

seed=${KILL_RESUME_SEED:-$$}
RANDOM=$seed
echo "seed $seed (set KILL_RESUME_SEED to repeat a run)"

work=$(mktemp -d)
name=kill-resume-$seed-$$.bin
served=$www/slow/$name
trap 'rm -rf "$work" "$served"' EXIT
mkdir -p "$www/slow"
# 96 MiB over 8 throttled connections (512 KiB/s each): about 24 s of transfer in all.
head -c $((96 * 1024 * 1024)) /dev/urandom > "$served.part"
mv "$served.part" "$served"

target=$work/nexvale-download.exe
for kill in $(seq 1 20); do
  # Started directly (not in a subshell), so the SIGKILL reaches the tool itself.
  "$fetch" --connections 8 --timeout 5 --ca-file "$ca" "https://127.0.0.1/slow/$name" "$target" >> "$work/out.txt" 2>&1 &
  pid=$!
  # 0 to 3 s: before the first state save, between saves and after several.
  sleep "$((RANDOM % 3)).$((RANDOM % 10))$((RANDOM % 10))"
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "FAIL: the download ended by itself before kill $kill; the file is too small for this test" >&2
    exit 1
  fi
  kill -KILL "$pid"
  wait "$pid" 2>/dev/null || true
  saved=$( [ -f "$target.tmp" ] && stat -c %s "$target.tmp" || echo 0)
  echo "kill $kill: state file $( [ -f "$target.cfg" ] && echo present || echo absent), body file $saved bytes"
done

if ! timeout 300 "$fetch" --connections 8 --timeout 5 --ca-file "$ca" "https://127.0.0.1/slow/$name" "$target" > "$work/final.txt" 2>&1; then
  echo "FAIL: the resumed download did not complete:" >&2
  tail -5 "$work/final.txt" >&2
  exit 1
fi
if ! cmp "$served" "$target"; then
  echo "FAIL: the resumed download differs from the served file" >&2
  exit 1
fi
for leftover in "$target.tmp" "$target.cfg"; do
  if [ -e "$leftover" ]; then
    echo "FAIL: $leftover is left behind" >&2
    exit 1
  fi
done
echo "PASS: 20 kills, resumed download byte-identical ($(stat -c %s "$target") bytes)"
