#!/usr/bin/env bash
# Download benchmark: the setup's download engine (through the fetch tool, 16 connections)
# beside aria2c (16 connections) and curl, on one large file served by nginx on loopback inside
# the test world's network namespace. Once with nginx limiting each connection's rate (the
# physical limit is then connections x rate), once without limits; over HTTP and over HTTPS.
# The fetch tool runs natively (release build), natively with 64 KiB reads instead of 2 KiB
# (to show what the read size alone costs), and as the Windows build under Wine.
#
# Prints wall time, throughput, user+system CPU seconds and peak memory per run, and ratios.
# Usage: scripts/bench-download.sh            (as root; sizes: BENCH_MIB=512 BENCH_RATE=1m)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != --inside ]; then
  bash scripts/setup.sh --bench
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then preset=win32; export NEXVALE_WINE_BITS=32
  else preset=win64; export NEXVALE_WINE_BITS=64; fi
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target nexvale_fetch harness_tool browser_standin >/dev/null
  cmake -S . -B build/bench-native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build/bench-native --target nexvale_fetch >/dev/null
  cmake -S . -B build/bench-native-64k -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS=-DHTTPDL_READ_SIZE=65536 >/dev/null
  cmake --build build/bench-native-64k --target nexvale_fetch >/dev/null
  export NEXVALE_HARNESS_TOOL=$PWD/build/$preset/bin/harness_tool.exe
  export BENCH_WINDOWS_FETCH=$PWD/build/$preset/bin/nexvale_fetch.exe
  exec unshare --net -- tests/harness/run-in-namespace.sh bash "$0" --inside
fi

mib=${BENCH_MIB:-512}
rate=${BENCH_RATE:-1m}
# A throttled curl (one connection) would take minutes; it runs for this long and its rate is
# taken from the bytes it received.
curl_throttled_seconds=${BENCH_CURL_SECONDS:-30}

www=$NEXVALE_TEST_WWW
work=$(mktemp -d)
trap 'rm -rf "$work" "$www/bench"' EXIT
mkdir -p "$www/bench"
head -c $((mib * 1024 * 1024)) /dev/urandom > "$www/bench/big.bin"
expected=$(md5sum < "$www/bench/big.bin" | cut -d' ' -f1)
size=$((mib * 1024 * 1024))

rate_bytes() {
  local r=$1
  case $r in
    *k) echo $(( ${r%k} * 1024 )) ;;
    *m) echo $(( ${r%m} * 1024 * 1024 )) ;;
    *) echo "$r" ;;
  esac
}

# CPU seconds (user + system) this prefix's persistent wineserver has used so far.
wineserver_cpu() {
  local pid
  for pid in $(pgrep -x 'wineserver(64)?' || true); do
    if tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      awk -v hz="$(getconf CLK_TCK)" '{ printf "%.2f", ($14 + $15) / hz }' "/proc/$pid/stat"
      return
    fi
  done
  echo 0
}

results=$work/results.txt
: > "$results"

# run LABEL PROTOCOL MODE CONNECTIONS COMMAND...: times one download into $work/out.bin.
run() {
  local label=$1 protocol=$2 mode=$3 connections=$4
  shift 4
  rm -f "$work"/out.bin*
  local server_before=0 server_after=0
  [[ $label == *wine* ]] && server_before=$(wineserver_cpu)
  /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" "$@" > "$work/tool.txt" 2>&1 || true
  [[ $label == *wine* ]] && server_after=$(wineserver_cpu)
  local wall user sys peak got complete
  read -r wall user sys peak < <(tail -1 "$work/time.txt")
  got=$(stat -c %s "$work/out.bin" 2>/dev/null || echo 0)
  complete=partial
  if [ "$got" -eq "$size" ] && [ "$(md5sum < "$work/out.bin" | cut -d' ' -f1)" = "$expected" ]; then
    complete=ok
  fi
  # A run cut short by its time limit counts the bytes it received.
  [ "$complete" = ok ] || got=$(awk '/^received /{print $2}' "$work/tool.txt" | tail -1 || echo "$got")
  local cpu
  cpu=$(awk -v u="$user" -v s="$sys" -v a="$server_before" -v b="$server_after" 'BEGIN{printf "%.2f", u + s + (b - a)}')
  echo "$label $protocol $mode $connections $wall $cpu $peak ${got:-0} $complete" >> "$results"
  printf '  %-22s %-5s %-11s %6ss %8.1f MiB/s cpu %6ss peak %6.1f MiB %s\n' "$label" "$protocol" "$mode" "$wall" \
    "$(awk -v b="${got:-0}" -v w="$wall" 'BEGIN{printf "%.1f", (w > 0 ? b / w / 1048576 : 0)}')" "$cpu" \
    "$(awk -v k="$peak" 'BEGIN{printf "%.1f", k / 1024}')" "$complete"
}

fetch_native=build/bench-native/bin/nexvale_fetch
fetch_64k=build/bench-native-64k/bin/nexvale_fetch
ca=$NEXVALE_TEST_CA
ca_win=$NEXVALE_TEST_CA_WIN

echo "bench: ${mib} MiB file, throttled runs at $rate per connection, $(nproc) CPUs"
for protocol in http https; do
  for mode in throttled unthrottled; do
    if [ "$mode" = throttled ]; then path="throttled/bench/big.bin?rate=$rate"; else path="bench/big.bin"; fi
    url="$protocol://127.0.0.1/$path"
    run engine "$protocol" "$mode" 16 "$fetch_native" --connections 16 --ca-file "$ca" "$url" "$work/out.bin"
    run engine-64k-reads "$protocol" "$mode" 16 "$fetch_64k" --connections 16 --ca-file "$ca" "$url" "$work/out.bin"
    # Under Wine the test root is trusted through the prefix's certificate store.
    run engine-wine "$protocol" "$mode" 16 "$NEXVALE_WINE" "$BENCH_WINDOWS_FETCH" --connections 16 "$url" \
      "Z:${work//\//\\}\\out.bin"
    run aria2c "$protocol" "$mode" 16 aria2c -q -x16 -s16 -k1M --file-allocation=none --allow-overwrite=true \
      --auto-file-renaming=false --ca-certificate="$ca" -d "$work" -o out.bin "$url"
    if [ "$mode" = throttled ]; then
      run curl "$protocol" "$mode" 1 bash -c 'curl -s --max-time "$1" --cacert "$2" -o "$3" -w "received %{size_download}\n" "$4"' \
        _ "$curl_throttled_seconds" "$ca" "$work/out.bin" "$url"
    else
      run curl "$protocol" "$mode" 1 curl -s --cacert "$ca" -o "$work/out.bin" "$url"
    fi
  done
done

echo
echo "bench: ratios (throughput = bytes received / wall time)"
awk -v limit="$(rate_bytes "$rate")" '
  { key = $2 " " $3; tp[$1, key] = ($5 > 0 ? $8 / $5 : 0); cpu[$1, key] = $6; conns[$1, key] = $4; keys[key] = 1; tools[$1] = 1 }
  END {
    for (k in keys) {
      split(k, part, " ")
      for (t in tools) {
        if (!((t, k) in tp)) continue
        line = sprintf("  %-22s %-5s %-11s", t, part[1], part[2])
        if (part[2] == "throttled") line = line sprintf(" %5.1f%% of its physical limit (%d x rate)", 100 * tp[t, k] / (conns[t, k] * limit), conns[t, k])
        else if (tp["aria2c", k] > 0) line = line sprintf(" throughput %.2f x aria2c, cpu %.2f x aria2c", tp[t, k] / tp["aria2c", k], (cpu["aria2c", k] > 0 ? cpu[t, k] / cpu["aria2c", k] : 0))
        print line
      }
    }
  }' "$results" | sort
