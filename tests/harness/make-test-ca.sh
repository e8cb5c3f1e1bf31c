#!/usr/bin/env bash
# Makes the test certificate authority and a server certificate for the loopback servers:
#   $1/root.pem, $1/root.key    the root the tests trust
#   $1/server.pem, $1/server.key for nginx: localhost and 127.0.0.1
#   $1/self-signed.pem, .key     a certificate for the same names that no root vouches for
# and the code-signing certificates the installer check is tested with:
#   $1/codesign.pem              the committed test key (signing/test-signing.key), the one the
#                                local deployment pins, for code signing
#   $1/codesign-unpinned.pem, .key   a key of this run that no deployment pins
#   $1/codesign-no-usage.pem     the test key again, for server authentication only
#   $1/codesign-untrusted.pem    the test key again, from an authority no one trusts
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$1
mkdir -p "$out"
cd "$out"
openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 30 -subj "/CN=Nexvale Test Root CA" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
  -keyout root.key -out root.pem 2>/dev/null
openssl req -newkey rsa:2048 -nodes -sha256 -subj "/CN=localhost" -keyout server.key -out server.csr 2>/dev/null
cat > server.ext <<'EXT'
basicConstraints=CA:FALSE
keyUsage=critical,digitalSignature,keyEncipherment
extendedKeyUsage=serverAuth
subjectAltName=DNS:localhost,IP:127.0.0.1
EXT
openssl x509 -req -in server.csr -CA root.pem -CAkey root.key -CAcreateserial -days 30 -sha256 \
  -extfile server.ext -out server.pem 2>/dev/null
openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 30 -subj "/CN=localhost" \
  -addext "subjectAltName=DNS:localhost,IP:127.0.0.1" -addext "basicConstraints=critical,CA:TRUE" \
  -keyout self-signed.key -out self-signed.pem 2>/dev/null

# issue_code_signing NAME KEY CA USAGE: a certificate for KEY from CA (root or untrusted-root).
issue_code_signing() {
  openssl req -new -key "$2" -subj "/CN=Nexvale Test Publisher" -out "$1.csr" 2>/dev/null
  printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=%s\n' "$4" > "$1.ext"
  openssl x509 -req -in "$1.csr" -CA "$3.pem" -CAkey "$3.key" -CAcreateserial -days 30 -sha256 \
    -extfile "$1.ext" -out "$1.pem" 2>/dev/null
  rm -f "$1.csr" "$1.ext"
}
openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 30 -subj "/CN=Nexvale Untrusted Test Root CA" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
  -keyout untrusted-root.key -out untrusted-root.pem 2>/dev/null
openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out codesign-unpinned.key 2>/dev/null
test_key=$here/signing/test-signing.key
issue_code_signing codesign "$test_key" root codeSigning
issue_code_signing codesign-unpinned codesign-unpinned.key root codeSigning
issue_code_signing codesign-no-usage "$test_key" root serverAuth
issue_code_signing codesign-untrusted "$test_key" untrusted-root codeSigning
rm -f server.csr server.ext root.srl untrusted-root.srl
