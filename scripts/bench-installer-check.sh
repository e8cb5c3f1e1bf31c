#!/usr/bin/env bash
# Installer check benchmark: how long the signature check of the downloaded installer takes
# under Wine (the system's trust verification hashes the whole file), for the stand-in installer
# grown to a few MiB and to 100 MiB with data after its code, signed with the pinned test key by
# the test world's authority. Prints the time of each check as the check command measures it
# (Wine's start-up not included) and which build ran.
# Usage: scripts/bench-installer-check.sh      (as root; sizes in MiB: BENCH_SIZES="4 100")
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != --inside ]; then
  bash scripts/setup.sh
  source scripts/windows-preset.sh
  build_windows_tools nexvale_verify
  export BENCH_PRESET=$windows_preset
  exec unshare --net -- tests/harness/run-in-namespace.sh bash "$0" --inside
fi

bin=$(dirname "$NEXVALE_HARNESS_TOOL")
ca=$(dirname "$NEXVALE_TEST_CA")
key=tests/harness/signing/test-signing.key
pin=$(openssl pkey -in "$key" -pubout -outform DER | sha256sum | cut -d' ' -f1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "build: $BENCH_PRESET ($NEXVALE_WINE_BITS-bit Wine, $("$NEXVALE_WINE" --version))"
for mib in ${BENCH_SIZES:-4 100}; do
  grown=$work/grown-$mib.exe
  cp "$bin/product_setup_standin.exe" "$grown"
  size=$(stat -c %s "$grown")
  head -c $((mib * 1024 * 1024 - size)) /dev/urandom >> "$grown"
  osslsigncode sign -certs "$ca/codesign.pem" -key "$key" -h sha256 -in "$grown" -out "$work/signed-$mib.exe" >/dev/null
  echo "--- $mib MiB ($(stat -c %s "$work/signed-$mib.exe") bytes)"
  "$NEXVALE_WINE" "$bin/nexvale_verify.exe" --repeat 3 --pin "$pin" "$("$NEXVALE_WINE" winepath -w "$work/signed-$mib.exe" 2>/dev/null)"
done
