#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need on a Debian 12 machine (run as root),
# and builds the static OpenSSL for the two Windows targets once, cached outside the checkout.
# Idempotent: when everything is present it prints nothing and returns quickly.
# Usage: setup.sh [--bench] | setup.sh --openssl-variant TRIPLE OPTION...
set -euo pipefail

readonly CACHE_ROOT=${NEXVALE_CACHE:-/var/cache/nexvale-build}

packages=(
  # native build and tests; clang and its runtime for the fuzz targets
  cmake ninja-build g++ make perl pkg-config clang libclang-rt-14-dev
  libboost-dev rapidjson-dev libstb-dev googletest zlib1g-dev libssl-dev
  # Windows targets: i686 is the product; x86_64 runs the Windows tests where 32-bit Wine cannot
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  libz-mingw-w64-dev
  # running and testing the Windows builds (wine32 where the kernel runs 32-bit programs)
  wine wine32:i386 wine64 xvfb xauth nginx-light openssl iproute2 util-linux python3 imagemagick
  # real keyboard and mouse input for the window tests
  xdotool
  # Authenticode signing of the stand-in installer for the installer check's tests
  osslsigncode
  # faces for the skins' scripts (Latin, Arabic, Thai, CJK) that the test world links into the prefix
  fonts-noto-core fonts-noto-cjk
  # merging the Latin, Arabic and Thai faces into the test prefix's one UI face
  python3-fonttools
  # fetching and unpacking the OpenSSL source package
  dpkg-dev
)

log() { printf 'setup: %s\n' "$*"; }

need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: must run as root (it installs packages)" >&2
    exit 1
  fi
}

ensure_i386() {
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    log "adding the i386 architecture (32-bit Wine)"
    dpkg --add-architecture i386
    apt_updated=0
  fi
}

# Source entries are derived from the entries apt already uses: every enabled binary stanza
# gets a deb-src twin in a file of our own, so no host name is ever written down here.
readonly SRC_LIST=/etc/apt/sources.list.d/nexvale-deb-src.sources
ensure_deb_src() {
  if grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return
  fi
  log "deriving deb-src entries from the configured binary sources"
  local tmp
  tmp=$(mktemp)
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] || continue
    # deb822 stanzas: keep each stanza whose Types has "deb", rewrite Types to deb-src.
    awk 'BEGIN { RS=""; ORS="\n\n" }
         /(^|\n)Types:[^\n]*(^|[ \t])deb([ \t\n]|$)/ && !/(^|\n)Enabled:[ \t]*no/ {
           sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' "$f" >> "$tmp"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -e "$f" ] || continue
    sed -n 's/^[[:space:]]*deb[[:space:]]\+/deb-src /p' "$f" >> "$tmp"
  done
  if ! [ -s "$tmp" ]; then
    rm -f "$tmp"
    echo "setup: no binary apt sources found to derive source entries from" >&2
    exit 1
  fi
  # One-line entries cannot live in a .sources file; split them out.
  grep -v '^deb-src ' "$tmp" > "$SRC_LIST" || true
  if grep -q '^deb-src ' "$tmp"; then
    grep '^deb-src ' "$tmp" > "${SRC_LIST%.sources}.list"
  fi
  [ -s "$SRC_LIST" ] || rm -f "$SRC_LIST"
  rm -f "$tmp"
  apt_updated=0
}

apt_updated=1
ensure_packages() {
  local missing=()
  local p
  for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  if [ "${#missing[@]}" -eq 0 ] && [ "$apt_updated" -eq 1 ]; then
    return
  fi
  log "apt-get update"
  apt-get update -qq
  if [ "${#missing[@]}" -gt 0 ]; then
    log "installing: ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

# Static OpenSSL 3 for the MinGW targets, built from Debian's openssl source package and cached
# under $CACHE_ROOT in "openssl-<triple>-<version>-<key>", where the key is a digest of everything
# the build depends on besides the source (Configure target and options, compiler): changing any
# of them builds afresh beside the old folders, which stay for build trees configured against
# them. A folder counts only once its ".complete" exists; "$CACHE_ROOT/openssl-<triple>.current"
# then names the folder the build should use.
#
# Only what a TLS 1.2/1.3 client verifying certificates needs is built. Nothing is read or loaded
# at run time: no engines, modules or DLLs, and no configuration file (its built-in place would be
# a folder on the user's system drive that anyone may create, and the setup runs elevated; as
# OpenSSL 3.0 still reads it from a few functions, every program linking it also marks the
# configuration done at start, see cmake/openssl/NoConfigurationFile.cpp).
readonly OPENSSL_OPTIONS=(
  no-shared no-module no-dso no-engine no-legacy no-autoload-config no-ui-console no-uplink no-tests
  # protocols: TLS 1.2 and 1.3 over TCP, nothing older, no datagrams, no session extras
  no-ssl3 no-ssl3-method no-tls1 no-tls1-method no-tls1_1 no-tls1_1-method no-dtls no-dgram
  no-sctp no-srtp no-srp no-psk no-comp no-nextprotoneg no-ssl-trace no-async no-multiblock
  # PKI the client never meets: OCSP, certificate transparency, CMS, CMP, time stamps, RFC 3779
  no-ocsp no-ct no-cms no-cmp no-ts no-rfc3779
  # ciphers, digests and key types common servers do not offer; kept: AES(-GCM), ChaCha20-Poly1305,
  # SHA-1/2/3, RSA, ECDSA/ECDH on prime curves, X25519/Ed25519
  no-aria no-bf no-camellia no-cast no-des no-idea no-md4 no-mdc2 no-rc2 no-rc4 no-rc5 no-rmd160
  no-seed no-sm2 no-sm3 no-sm4 no-whirlpool no-blake2 no-siphash no-siv no-ocb no-scrypt no-gost
  no-cmac no-dsa no-ec2m
  # Boost.Asio's TLS context calls the Diffie-Hellman functions, so "dh" stays; it does its own
  # sockets, so OpenSSL's socket BIOs go
  no-sock
  # one section per function, so the setup's link keeps only what it calls; small code, as the
  # ciphers' speed lies in the assembly
  -ffunction-sections -fdata-sections -Os
)
readonly OPENSSL_RECIPE=1  # raise when build_openssl changes in a way the options do not show

openssl_versions() {
  apt-cache showsrc openssl 2>/dev/null | sed -n 's/^Version: //p' | sort -V -r -u
}

# openssl_key TRIPLE CONFIGURE_TARGET OPTION...: the cache key of one configuration.
openssl_key() {
  local triple=$1
  { printf '%s\n' "$OPENSSL_RECIPE" "$@"; "$triple-gcc-posix" -dumpfullversion; } | sha256sum | cut -c1-12
}

# build_openssl TRIPLE CONFIGURE_TARGET VERSION PREFIX OPTION...: 0 when built, 1 when the source
# could not be fetched, 2 when it did not build (its log's end is shown).
build_openssl() {
  local triple=$1 target=$2 version=$3 prefix=$4
  shift 4
  local work started
  work=$(mktemp -d)
  started=$(date +%s)
  if ! (cd "$work" && apt-get source -qq "openssl=$version") > "$work/fetch.log" 2>&1; then
    echo "setup: the source of OpenSSL $version could not be fetched: $(grep -m1 '^E:' "$work/fetch.log")" >&2
    rm -rf "$work"
    return 1
  fi
  log "building static OpenSSL $version for $triple into $prefix (a few minutes)"
  if ! (
    cd "$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'openssl-*' | head -n 1)"
    # Debian's "pic" patch makes the 32-bit x86 assembly ELF-only (GOT, PLT, .hidden), which the
    # PE assembler refuses; the Windows build takes the upstream assembly.
    if [ -f debian/patches/pic.patch ]; then patch -R -p1 < debian/patches/pic.patch; fi
    ./Configure "$target" "$@" --cross-compile-prefix="$triple-" --prefix="$prefix" --libdir=lib
    make -j"$(nproc)" build_libs
    make install_dev
  ) > "$work/build.log" 2>&1; then
    echo "setup: building OpenSSL $version for $triple failed; the end of its log:" >&2
    tail -n 30 "$work/build.log" >&2
    rm -rf "$work" "$prefix"
    return 2
  fi
  rm -rf "$work"
  printf '%s\n' "$target" "$@" > "$prefix/configure-options.txt"
  touch "$prefix/.complete"
  log "OpenSSL $version for $triple built in $(($(date +%s) - started)) s"
}

# openssl_folder TRIPLE CONFIGURE_TARGET OPTION...: prints the complete cached folder of this
# configuration, building it from the newest source version that can be fetched when none exists.
openssl_folder() {
  local triple=$1 target=$2
  shift 2
  local key versions version prefix
  key=$(openssl_key "$triple" "$target" "$@")
  versions=$(openssl_versions)
  if [ -z "$versions" ]; then
    echo "setup: apt knows no openssl source package (deb-src entries missing?)" >&2
    return 1
  fi
  for version in $versions; do
    prefix=$CACHE_ROOT/openssl-$triple-$version-$key
    if [ -f "$prefix/.complete" ]; then
      echo "$prefix"
      return
    fi
  done
  mkdir -p "$CACHE_ROOT"
  for version in $versions; do
    prefix=$CACHE_ROOT/openssl-$triple-$version-$key
    local built=0
    build_openssl "$triple" "$target" "$version" "$prefix" "$@" >&2 || built=$?
    case $built in
      0) echo "$prefix"; return ;;
      1) log "trying an older OpenSSL source" >&2 ;;
      *) return 1 ;;
    esac
  done
  echo "setup: no OpenSSL source version could be fetched for $triple" >&2
  return 1
}

# openssl_configuration TRIPLE: the Configure target and the options of a MinGW triple, a line
# each. The 32-bit product's C code goes without unwind tables: no C++ exception passes through
# OpenSSL (the program installs no callbacks into it), and 32-bit Windows walks stacks without
# tables, unlike x86_64, whose tables stay.
openssl_configuration() {
  case $1 in
    i686-w64-mingw32) printf '%s\n' mingw "${OPENSSL_OPTIONS[@]}" -fno-asynchronous-unwind-tables ;;
    x86_64-w64-mingw32) printf '%s\n' mingw64 "${OPENSSL_OPTIONS[@]}" ;;
    *) echo "setup: no OpenSSL configuration for $1" >&2; return 1 ;;
  esac
}

# ensure_openssl_mingw TRIPLE: the product's configuration, named by the pointer.
ensure_openssl_mingw() {
  local triple=$1 configuration pointer=$CACHE_ROOT/openssl-$1.current key folder
  mapfile -t configuration < <(openssl_configuration "$triple")
  key=$(openssl_key "$triple" "${configuration[@]}")
  if [ -f "$pointer" ]; then
    folder=$(cat "$pointer")
    if [[ $folder == */openssl-$triple-*-$key ]] && [ -f "$folder/.complete" ]; then
      return
    fi
  fi
  folder=$(openssl_folder "$triple" "${configuration[@]}") || exit 1
  echo "$folder" > "$pointer.new"
  mv "$pointer.new" "$pointer"
}

main() {
  # "--openssl-variant TRIPLE OPTION...": the product's OpenSSL configuration with these options
  # added (for example no-asm), built once into the cache like the product's; prints its folder
  # and leaves the product's pointer alone. The benchmark compares builds with it.
  if [ "${1:-}" = --openssl-variant ]; then
    local triple=${2:?usage: setup.sh --openssl-variant TRIPLE OPTION...} configuration
    shift 2
    need_root
    mapfile -t configuration < <(openssl_configuration "$triple")
    [ "${#configuration[@]}" -gt 0 ] || exit 1
    openssl_folder "$triple" "${configuration[@]}" "$@"
    return
  fi
  # "--bench": also the programs the download benchmark compares against, and its timer.
  if [ "${1:-}" = --bench ]; then
    packages+=(aria2 curl time)
  fi
  need_root
  ensure_i386
  ensure_deb_src
  ensure_packages
  ensure_openssl_mingw i686-w64-mingw32
  ensure_openssl_mingw x86_64-w64-mingw32
}

main "$@"
