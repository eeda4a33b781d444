#!/usr/bin/env bash
# Signs what the servers publish, for a release built with --payload-key:
#
#   tools/sign-payload.sh --key private.pem FILE...
#
# Writes FILE.sig beside each FILE: the DER-encoded ECDSA signature over the file's
# SHA-256, which the utility fetches from the file's address with ".sig" appended. Each
# signature is checked back against the key's public half before the next file; the first
# failure stops the script with a message, and the signature it could not check is removed.
set -euo pipefail

usage() {
  sed -n '4p' "${BASH_SOURCE[0]}" | sed 's/^# *//' >&2
  exit 2
}

key=""
files=()
while (($#)); do
  case $1 in
    --key) key=${2:-}; shift 2 || usage ;;
    -*) echo "unknown argument: $1" >&2; usage ;;
    *) files+=("$1"); shift ;;
  esac
done
[ -n "$key" ] && ((${#files[@]})) || usage
[ -r "$key" ] || { echo "--key: cannot read \"$key\"" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# The public half, as `openssl ec -pubout` writes it for KALVERA_PAYLOAD_KEY.
openssl ec -in "$key" -pubout -out "$scratch/public.pem" 2>"$scratch/error" ||
  { echo "--key: \"$key\" is not an EC private key: $(cat "$scratch/error")" >&2; exit 1; }
grep -q "prime256v1\|P-256" <(openssl ec -in "$key" -noout -text 2>/dev/null) ||
  { echo "--key: \"$key\" is not a key on the curve P-256 (prime256v1)" >&2; exit 1; }

for file in "${files[@]}"; do
  [ -f "$file" ] && [ -r "$file" ] || { echo "cannot read \"$file\"" >&2; exit 1; }
  openssl dgst -sha256 -sign "$key" -out "$file.sig" "$file"
  if ! openssl dgst -sha256 -verify "$scratch/public.pem" -signature "$file.sig" "$file" >/dev/null; then
    rm -f "$file.sig"
    echo "the signature of \"$file\" does not verify" >&2
    exit 1
  fi
  echo "signed $file -> $file.sig"
done
