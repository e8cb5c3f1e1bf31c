#!/usr/bin/env bash
# Download benchmark: the setup's download engine (through the fetch tool, 16 connections)
# beside aria2c (16 connections) and curl (1 connection), on one large file served by nginx on
# loopback inside the test world's network namespace, over HTTP and HTTPS, in three cases:
#   link         the namespace's loopback shaped by tc's tbf to a link rate (BENCH_LINK): what a
#                user's line allows, however many connections share it;
#   per-request  nginx limits the rate of each request (BENCH_RATE). The engine makes a request
#                per range and nginx grants every new request a burst, so this is not a limit of
#                connections x rate; it shows how tools fare against a server that throttles;
#   unthrottled  as fast as loopback and the CPU allow.
# The fetch tool runs natively (release build, and again with 64 KiB reads instead of the
# product's 2048 bytes, to show what the read size alone costs) and as the Windows build under
# Wine. Over HTTPS the Windows build runs four ways: with the product's OpenSSL (assembly) and
# with the same OpenSSL built without assembly, each with 2048-byte and 64 KiB reads; a small
# cipher benchmark shows what either OpenSSL encrypts per second under Wine.
#
# Prints wall time, throughput, user+system CPU seconds (under Wine with the wineserver's) and
# peak memory per run, then each run's throughput as a share of its case's limit, and the load
# average of the machine before and after (the figures are only as quiet as the machine was).
# Usage: scripts/bench-download.sh    (as root)
#   BENCH_MIB=512 BENCH_LINK=200mbit BENCH_RATE=1m BENCH_CASES="link per-request unthrottled"
#   BENCH_PROTOCOLS="http https" BENCH_TOOLS="engine engine-64k-reads engine-wine engine-wine-64k
#   engine-wine-no-asm engine-wine-64k-no-asm aria2c curl" (the runs to make; all by default)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != --inside ]; then
  bash scripts/setup.sh --bench
  source scripts/windows-preset.sh
  preset=$windows_preset triple=$([ "$preset" = win32 ] && echo i686 || echo x86_64)-w64-mingw32
  large_reads=-DCMAKE_CXX_FLAGS=-DHTTPDL_READ_SIZE=65536
  # build_fetch DIR CONFIGURE_OPTION...: the fetch tool of one build folder.
  build_fetch() {
    local dir=$1
    shift
    cmake "$@" -B "$dir" >/dev/null
    cmake --build "$dir" --target nexvale_fetch >/dev/null
  }
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target nexvale_fetch harness_tool browser_standin >/dev/null
  no_asm=$(bash scripts/setup.sh --openssl-variant "$triple" no-asm)
  build_fetch "build/bench-$preset-64k" --preset "$preset" "$large_reads"
  build_fetch "build/bench-$preset-no-asm" --preset "$preset" "-DNEXVALE_OPENSSL_ROOT=$no_asm"
  build_fetch "build/bench-$preset-64k-no-asm" --preset "$preset" "-DNEXVALE_OPENSSL_ROOT=$no_asm" "$large_reads"
  build_fetch build/bench-native -S . -G Ninja -DCMAKE_BUILD_TYPE=Release
  build_fetch build/bench-native-64k -S . -G Ninja -DCMAKE_BUILD_TYPE=Release "$large_reads"
  product_openssl=$(cat "/var/cache/nexvale-build/openssl-$triple.current")
  mkdir -p build/bench-cipher
  for variant in asm no-asm; do
    root=$product_openssl
    [ "$variant" = no-asm ] && root=$no_asm
    "$triple-gcc-posix" -O2 -static -I"$root/include" -o "build/bench-cipher/cipher_speed-$variant.exe" \
      scripts/bench/cipher_speed.c "$root/lib/libcrypto.a" -lws2_32 -lcrypt32 -lbcrypt -lgdi32 -luser32 -ladvapi32
  done
  export NEXVALE_HARNESS_TOOL=$PWD/build/$preset/bin/harness_tool.exe
  export BENCH_WINE_BUILDS="engine-wine=$PWD/build/$preset engine-wine-64k=$PWD/build/bench-$preset-64k
    engine-wine-no-asm=$PWD/build/bench-$preset-no-asm engine-wine-64k-no-asm=$PWD/build/bench-$preset-64k-no-asm"
  exec unshare --net -- tests/harness/run-in-namespace.sh bash "$0" --inside
fi

mib=${BENCH_MIB:-512}
link=${BENCH_LINK:-200mbit}
rate=${BENCH_RATE:-1m}
cases=${BENCH_CASES:-link per-request unthrottled}
protocols=${BENCH_PROTOCOLS:-http https}
tools=${BENCH_TOOLS:-}
# A curl limited per request (one connection) would take minutes; it runs for this long and
# its rate is taken from the bytes it received.
curl_throttled_seconds=${BENCH_CURL_SECONDS:-30}

www=$NEXVALE_TEST_WWW
work=$(mktemp -d)
trap 'unshape_link; rm -rf "$work" "$www/bench"' EXIT
mkdir -p "$www/bench"
head -c $((mib * 1024 * 1024)) /dev/urandom > "$www/bench/big.bin"
expected=$(md5sum < "$www/bench/big.bin" | cut -d' ' -f1)
size=$((mib * 1024 * 1024))

# Bytes per second of nginx's rate ("1m") and of tc's link rate ("200mbit", decimal units).
rate_bytes() {
  local r=$1
  case $r in
    *k) echo $(( ${r%k} * 1024 )) ;;
    *m) echo $(( ${r%m} * 1024 * 1024 )) ;;
    *) echo "$r" ;;
  esac
}
link_bytes() {
  local r=$1
  case $r in
    *gbit) echo $(( ${r%gbit} * 1000000000 / 8 )) ;;
    *mbit) echo $(( ${r%mbit} * 1000000 / 8 )) ;;
    *kbit) echo $(( ${r%kbit} * 1000 / 8 )) ;;
    *) echo "bench: BENCH_LINK must be a number followed by kbit, mbit or gbit" >&2; exit 1 ;;
  esac
}
link_rate=$(link_bytes "$link")

# Shapes the namespace's loopback like a link: Ethernet-sized packets (loopback's own are 64 KiB,
# so a queue of a few of them drops whole windows of many connections at once, which no real
# line does) and a token bucket at the link rate whose burst is 10 ms of the link but at least
# two packets.
loopback_mtu=$(cat /sys/class/net/lo/mtu)
link_mtu=1500
shape_link() {
  local burst=$((link_rate / 100))
  [ "$burst" -ge $((2 * (link_mtu + 100))) ] || burst=$((2 * (link_mtu + 100)))
  ip link set dev lo mtu "$link_mtu"
  tc qdisc replace dev lo root tbf rate "$link" burst "$burst" latency 50ms
}
unshape_link() {
  tc qdisc del dev lo root 2>/dev/null || true
  ip link set dev lo mtu "$loopback_mtu"
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

# run LABEL PROTOCOL CASE CONNECTIONS COMMAND...: times one download into $work/out.bin.
run() {
  local label=$1 protocol=$2 case=$3 connections=$4
  shift 4
  [ -z "$tools" ] || [[ " $tools " == *" $label "* ]] || return 0
  rm -f "$work"/out.bin*
  local server_before=0 server_after=0
  [[ $label == *wine* ]] && server_before=$(wineserver_cpu)
  # On the link, a trace of what the link carried shows where the wall time goes.
  local tracer=
  if [ "$case" = link ]; then
    python3 scripts/bench/link_trace.py "$(date +%s.%N)" "$link_rate" "$([[ $label == engine* ]] && echo "$work/out.bin")" \
      "$work/tool.txt" > "$work/trace.txt" &
    tracer=$!
  fi
  /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" "$@" > "$work/tool.txt" 2>&1 || true
  if [ -n "$tracer" ]; then
    kill -TERM "$tracer"
    wait "$tracer" || true
  fi
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
  echo "$label $protocol $case $connections $wall $cpu $peak ${got:-0} $complete" >> "$results"
  printf '  %-24s %-5s %-11s %7ss %8.1f MiB/s cpu %6ss peak %6.1f MiB %s\n' "$label" "$protocol" "$case" "$wall" \
    "$(awk -v b="${got:-0}" -v w="$wall" 'BEGIN{printf "%.1f", (w > 0 ? b / w / 1048576 : 0)}')" "$cpu" \
    "$(awk -v k="$peak" 'BEGIN{printf "%.1f", k / 1024}')" "$complete"
  [ -z "$tracer" ] || sed 's/^/    /' "$work/trace.txt"
}

fetch_native=build/bench-native/bin/nexvale_fetch
fetch_64k=build/bench-native-64k/bin/nexvale_fetch
ca=$NEXVALE_TEST_CA

echo "bench: ${mib} MiB file; link case: loopback shaped to $link; per-request case: nginx at $rate per request" \
  "(each request, not each connection);" \
  "$(nproc) CPUs"
# Each packet on the shaped link carries its Ethernet, IP and TCP headers (with time stamps).
echo "bench: on the link $link_mtu-byte packets carry at most" \
  "$(awk -v m="$link_mtu" 'BEGIN{printf "%.1f", 100 * (m - 52) / (m + 14)}')% of the link rate as data"
echo "bench: load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for protocol in $protocols; do
  for case in $cases; do
    case $case in
      link) path=bench/big.bin; shape_link ;;
      per-request) path="throttled/bench/big.bin?rate=$rate" ;;
      unthrottled) path=bench/big.bin ;;
      *) echo "bench: unknown case $case (link, per-request, unthrottled)" >&2; exit 1 ;;
    esac
    url="$protocol://127.0.0.1/$path"
    run engine "$protocol" "$case" 16 "$fetch_native" --connections 16 --ca-file "$ca" "$url" "$work/out.bin"
    run engine-64k-reads "$protocol" "$case" 16 "$fetch_64k" --connections 16 --ca-file "$ca" "$url" "$work/out.bin"
    # Under Wine the test root is trusted through the prefix's certificate store. Over HTTP the
    # OpenSSL builds make no difference, so only the product's runs.
    for build in $BENCH_WINE_BUILDS; do
      label=${build%%=*}
      [ "$protocol" = https ] || [ "$label" = engine-wine ] || continue
      run "$label" "$protocol" "$case" 16 "$NEXVALE_WINE" "${build#*=}/bin/nexvale_fetch.exe" --connections 16 "$url" \
        "Z:${work//\//\\}\\out.bin"
    done
    run aria2c "$protocol" "$case" 16 aria2c -q -x16 -s16 -k1M --file-allocation=none --allow-overwrite=true \
      --auto-file-renaming=false --ca-certificate="$ca" -d "$work" -o out.bin "$url"
    if [ "$case" = per-request ]; then
      run curl "$protocol" "$case" 1 bash -c 'curl -s --max-time "$1" --cacert "$2" -o "$3" -w "received %{size_download}\n" "$4"' \
        _ "$curl_throttled_seconds" "$ca" "$work/out.bin" "$url"
    else
      run curl "$protocol" "$case" 1 curl -s --cacert "$ca" -o "$work/out.bin" "$url"
    fi
    [ "$case" != link ] || unshape_link
  done
done
echo "bench: load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

echo
echo "bench: shares (throughput = bytes received / wall time, which includes the process start and,"
echo "       for the fetch tool, the wrapper's 800 ms polls)"
awk -v limit="$(rate_bytes "$rate")" -v link="$link_rate" '
  { key = $2 " " $3; tp[$1, key] = ($5 > 0 ? $8 / $5 : 0); cpu[$1, key] = $6; conns[$1, key] = $4; keys[key] = 1; tools[$1] = 1 }
  END {
    for (k in keys) {
      split(k, part, " ")
      for (t in tools) {
        if (!((t, k) in tp)) continue
        line = sprintf("  %-24s %-5s %-11s", t, part[1], part[2])
        if (part[2] == "link") line = line sprintf(" %5.1f%% of the link (%.1f MiB/s)", 100 * tp[t, k] / link, link / 1048576)
        else if (part[2] == "per-request") line = line sprintf(" %5.1f%% of %d x the per-request rate", 100 * tp[t, k] / (conns[t, k] * limit), conns[t, k])
        else {
          if (tp["aria2c", k] > 0) line = line sprintf(" throughput %.2f x aria2c, cpu %.2f x aria2c", tp[t, k] / tp["aria2c", k], (cpu["aria2c", k] > 0 ? cpu[t, k] / cpu["aria2c", k] : 0))
          if (t ~ /wine/) line = line sprintf("; keeps up with links up to %.0f Mbit/s", tp[t, k] * 8 / 1000000)
        }
        print line
      }
    }
  }' "$results" | sort

# Only when the Windows builds ran (an inside run may be given the native tools alone).
[ -n "${BENCH_WINE_BUILDS// /}" ] || exit 0
echo
echo "bench: cipher speed of the Windows build's OpenSSL under Wine (MiB/s, 16 KiB records, one thread)"
for variant in asm no-asm; do
  "$NEXVALE_WINE" "build/bench-cipher/cipher_speed-$variant.exe" | while read -r cipher speed; do
    printf '  %-8s %-18s %8s MiB/s\n' "$variant" "$cipher" "$speed"
  done
done
