#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need on a Debian 12 machine (run as root),
# and builds the static OpenSSL for the i686 Windows target once, cached outside the checkout.
# Idempotent: when everything is present it prints nothing and returns quickly.
# Usage: setup.sh [--bench]
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
# under $CACHE_ROOT keyed by target and source version. The newest version whose source can be
# fetched is used; "$CACHE_ROOT/openssl-<triple>.current" names the folder the build should use.
openssl_versions() {
  apt-cache showsrc openssl 2>/dev/null | sed -n 's/^Version: //p' | sort -V -r -u
}

# build_openssl TRIPLE CONFIGURE_TARGET VERSION PREFIX
build_openssl() {
  local triple=$1 target=$2 version=$3 prefix=$4 work
  work=$(mktemp -d)
  if ! (
    cd "$work"
    apt-get source -qq "openssl=$version" >/dev/null 2>&1 || exit 1
    cd "$(find . -maxdepth 1 -type d -name 'openssl-*' | head -n 1)"
    ./Configure "$target" no-shared no-asm no-tests no-module \
      --cross-compile-prefix="$triple-" --prefix="$prefix" --libdir=lib >/dev/null
    make -s -j"$(nproc)" build_libs >/dev/null 2>&1 || make -j"$(nproc)" build_libs
    make -s install_dev >/dev/null
  ); then
    rm -rf "$work" "$prefix"
    return 1
  fi
  rm -rf "$work"
  touch "$prefix/.complete"
}

# ensure_openssl_mingw TRIPLE CONFIGURE_TARGET
ensure_openssl_mingw() {
  local triple=$1 target=$2
  local pointer=$CACHE_ROOT/openssl-$triple.current
  if [ -f "$pointer" ] && [ -f "$(cat "$pointer")/.complete" ]; then
    return
  fi
  mkdir -p "$CACHE_ROOT"
  local versions version prefix
  versions=$(openssl_versions)
  if [ -z "$versions" ]; then
    echo "setup: apt knows no openssl source package (deb-src entries missing?)" >&2
    exit 1
  fi
  for version in $versions; do
    prefix=$CACHE_ROOT/openssl-$triple-$version
    if [ -f "$prefix/.complete" ]; then
      echo "$prefix" > "$pointer"
      return
    fi
  done
  for version in $versions; do
    prefix=$CACHE_ROOT/openssl-$triple-$version
    log "building static OpenSSL $version for $triple into $prefix (a few minutes)"
    if build_openssl "$triple" "$target" "$version" "$prefix"; then
      echo "$prefix" > "$pointer"
      return
    fi
    log "openssl $version could not be fetched or built; trying an older one"
  done
  echo "setup: no openssl source version could be built for $triple" >&2
  exit 1
}

main() {
  # "--bench": also the programs the download benchmark compares against, and its timer.
  if [ "${1:-}" = --bench ]; then
    packages+=(aria2 curl time)
  fi
  need_root
  ensure_i386
  ensure_deb_src
  ensure_packages
  ensure_openssl_mingw i686-w64-mingw32 mingw
  ensure_openssl_mingw x86_64-w64-mingw32 mingw64
}

main "$@"
