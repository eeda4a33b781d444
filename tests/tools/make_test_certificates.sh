#!/usr/bin/env bash
# Makes the certificates of the HTTPS tests, fresh for each run, in <dir>:
#   ca.crt          the test certificate authority, trusted only inside a test's own
#                   mount namespace (run_in_prefix.sh)
#   bundle.crt      the host's certificate bundle with ca.crt added, what that namespace
#                   shows Wine in place of the host's
#   server.pem      127.0.0.1, issued by the test authority (with server.key)
#   other_name.pem  kalvera.invalid, issued by the test authority
#   untrusted.pem   127.0.0.1, issued by an authority nobody trusts, whose certificate
#                   follows it, so that the chain is whole and only its root is unknown
# None carries a revocation distribution point: Wine's WinINet checks no revocation at
# all (a certificate listed in a CRL served on loopback was accepted and the CRL never
# fetched), so there is nothing a distribution point could show under Wine.
#
#   make_test_certificates.sh <dir> [host-bundle]
set -euo pipefail

dir=$1
host_bundle=${2:-/etc/ssl/certs/ca-certificates.crt}
mkdir -p "$dir"
cd "$dir"
rm -f ./*.crt ./*.pem ./*.key ./*.srl ./*.csr ./*.ext

authority() {  # <name> <common name>
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.crt" -days 2 \
    -subj "/CN=$2" -addext "basicConstraints=critical,CA:TRUE" \
    -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
}

server() {  # <output> <authority> <subjectAltName>
  printf '%s\n' "basicConstraints=CA:FALSE" "keyUsage=critical,digitalSignature,keyEncipherment" \
    "extendedKeyUsage=serverAuth" "subjectAltName=$3" > "$1.ext"
  openssl x509 -req -in server.csr -CA "$2.crt" -CAkey "$2.key" -CAcreateserial -days 1 \
    -extfile "$1.ext" -out "$1.pem" 2>/dev/null
}

authority ca "Kalvera Test CA"
authority stranger "Kalvera Untrusted Test CA"
openssl req -newkey rsa:2048 -nodes -keyout server.key -out server.csr -subj "/CN=127.0.0.1" 2>/dev/null
# Wine matches an address against DNS names only; Windows against the IP entry.
server server ca "IP:127.0.0.1,DNS:127.0.0.1"
server other_name ca "DNS:kalvera.invalid"
server untrusted stranger "IP:127.0.0.1,DNS:127.0.0.1"
cat stranger.crt >> untrusted.pem
cat "$host_bundle" ca.crt > bundle.crt
