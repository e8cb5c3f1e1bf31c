#!/usr/bin/env bash
# Makes the test certificate authority and a server certificate for the loopback servers:
#   $1/root.pem, $1/root.key    the root the tests trust
#   $1/server.pem, $1/server.key for nginx: localhost and 127.0.0.1
#   $1/self-signed.pem, .key     a certificate for the same names that no root vouches for
set -euo pipefail
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
rm -f server.csr server.ext root.srl
