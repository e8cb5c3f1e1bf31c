#!/usr/bin/env bash
# Fuzzes the parsers of the download engine (HTTP, the heads of range answers, the bencoded
# resume record), the decimal parser they share, the skin drawing (image descriptions, inline
# markup, picture decoding) and the banner feed: builds the libFuzzer targets with clang in build/fuzz
# (AddressSanitizer and UndefinedBehaviorSanitizer on) and runs each one for SECONDS seconds
# (default 10), starting from the seeds in tests/*/fuzz/seeds. Corpora grow in build/fuzz/corpus;
# a crash leaves its input in build/fuzz/crashes and fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-10}
targets=(url response_head chunked cookie state_file range_answer decimal image_description markup image_decode banner_feed)
out=build/fuzz

cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DNEXVALE_FUZZ=ON \
  -DCMAKE_CXX_FLAGS="-O1 -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" >/dev/null
cmake --build "$out" --target "${targets[@]/%/_fuzzer}" -- -j2 >/dev/null

mkdir -p "$out/crashes"
status=0
for target in "${targets[@]}"; do
  corpus=$out/corpus/$target
  mkdir -p "$corpus"
  cp -n tests/*/fuzz/seeds/"$target"/* "$corpus"/ 2>/dev/null || true
  log=$out/$target.log
  if "$out/bin/${target}_fuzzer" "$corpus" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
       -artifact_prefix="$out/crashes/$target-" -print_final_stats=1 >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz: $target: ${runs:-?} runs in ${seconds} s, no failure"
  else
    echo "fuzz: $target: FAILED (see $log and $out/crashes)" >&2
    tail -n 30 "$log" >&2
    status=1
  fi
done
exit "$status"
