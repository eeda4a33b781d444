#!/usr/bin/env bash
# Builds the executable that goes out to users, for the vendor's own servers:
#
#   tools/release.sh --config-server HOST[:PORT] --package-server HOST[:PORT]
#                    [--version X.Y.Z] [--test-build] [--dist DIR]
#                    [--payload-key public.pem]... [--unauthenticated]
#
# A server may also be given as https://HOST[:PORT]. The result is
# DIR/KalveraBase-<version>/KalveraBase.exe with SHA256SUMS beside it (DIR: dist/). It is
# built in a fresh tree of its own (Release, stripped, static), so nothing from an earlier
# build reaches it, and the same sources and options give the same bytes.
#
# Signing, when KALVERA_SIGN_PFX names a PKCS#12 file (certificate and key):
#   KALVERA_SIGN_PASSWORD    its password (it reaches osslsigncode through a file only
#                            this user can read, never through a command line)
#   KALVERA_SIGN_TIMESTAMP   an RFC 3161 timestamp server's URL; none when empty, and then
#                            the signature stops verifying once the certificate expires
#   KALVERA_SIGN_CAFILE      the authorities to verify the signature against; default the
#                            system's bundle
#
# With --payload-key (repeatable: any of the keys verifies, so a key can be rolled over),
# the release accepts only downloads signed with it (tools/sign-payload.sh). Plain HTTP
# servers without one are refused: anyone on the way could hand users a package of their
# own, which the utility runs as administrator. --unauthenticated builds such a release
# anyway.
#
# A refusal or a failure leaves DIR as it was: the release is moved there only once whole.
set -euo pipefail

usage() {
  sed -n '4,6p' "${BASH_SOURCE[0]}" | sed 's/^# *//' >&2
  exit 2
}

# True when <server> (host[:port], optionally after https://) names this computer.
# Windows reads IPv4 text as inet_addr does: 127.1, 0x7f.0.0.1, 0177.0.0.1 and 2130706433
# are all 127.0.0.1, so every number form counts, not only the dotted four.
is_loopback() {
  local server=${1,,} host
  server=${server#https://}
  if [[ $server == \[* ]]; then
    host=${server%%]*}
    host=${host#[}
    python3 -c 'import ipaddress, sys
a = ipaddress.ip_address(sys.argv[1])
sys.exit(0 if a.is_loopback or (a.ipv4_mapped and a.ipv4_mapped.is_loopback) else 1)' "$host" 2>/dev/null
    return
  fi
  host=${server%%:*}
  host=${host%.}  # a trailing dot only says the name is absolute
  [[ $host == localhost || $host == *.localhost ]] && return 0  # reserved for loopback
  local parts first
  IFS=. read -r -a parts <<<"$host"
  ((${#parts[@]} >= 1 && ${#parts[@]} <= 4)) || return 1
  for first in "${parts[@]}"; do
    # Decimal, octal after a leading 0, or hex after 0x; anything else makes it a name.
    # Longer than 12 characters is no 32-bit number, and would overflow the shell's.
    [[ $first =~ ^(0[x][0-9a-f]{1,8}|0[0-7]{0,11}|[1-9][0-9]{0,9})$ ]] || return 1
  done
  case ${parts[0]} in
    0x*) first=$((16#${parts[0]:2})) ;;
    0?*) first=$((8#${parts[0]:1})) ;;
    *) first=$((10#${parts[0]})) ;;
  esac
  # One number is the whole address; otherwise the first part is its top byte.
  if ((${#parts[@]} == 1)); then
    ((first <= 0xFFFFFFFF && first >> 24 == 127))
  else
    ((first == 127))
  fi
}

main() {
  local root config_server="" package_server="" version="" test_build=0 dist="" unauthenticated=0
  local payload_keys=()
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  while (($#)); do
    case $1 in
      --config-server) config_server=${2:-}; shift 2 || usage ;;
      --package-server) package_server=${2:-}; shift 2 || usage ;;
      --version) version=${2:-}; shift 2 || usage ;;
      --test-build) test_build=1; shift ;;
      --dist) dist=${2:-}; shift 2 || usage ;;
      --payload-key) payload_keys+=("${2:-}"); shift 2 || usage ;;
      --unauthenticated) unauthenticated=1; shift ;;
      *) echo "unknown argument: $1" >&2; usage ;;
    esac
  done
  [ -n "$config_server" ] && [ -n "$package_server" ] || usage
  dist=${dist:-$root/dist}
  # Whatever happens, the build tree and any file with the password go.
  release_scratch="" release_tree=""
  trap 'rm -rf "$release_scratch" "$release_tree"' EXIT

  local name server
  for name in config package; do
    server=${name}_server
    server=${!server}
    if is_loopback "$server" && ((!test_build)); then
      echo "refused: the $name server \"$server\" is this computer (loopback), so the release" >&2
      echo "would reach no server on its users' machines. Give --test-build for a test build." >&2
      exit 1
    fi
  done
  if [ -n "$version" ]; then
    local refusal
    refusal=$(cmake -DKALVERA_VERSION="$version" -P "$root/cmake/kalvera_version.cmake" 2>&1) ||
      { echo "$refusal" >&2; exit 1; }
  fi
  local pfx=${KALVERA_SIGN_PFX:-}
  if [ -n "$pfx" ]; then
    [ -r "$pfx" ] || { echo "KALVERA_SIGN_PFX: cannot read \"$pfx\"" >&2; exit 1; }
    command -v osslsigncode >/dev/null || { echo "osslsigncode is missing (tools/install-deps.sh)" >&2; exit 1; }
    # A wrong password or an expired certificate is found now rather than after the build.
    release_scratch=$(mktemp -d)
    check_certificate "$release_scratch"
  fi

  local key key_list=""
  for key in "${payload_keys[@]}"; do
    [ -r "$key" ] || { echo "--payload-key: cannot read \"$key\"" >&2; exit 1; }
    key_list+="${key_list:+;}$(realpath "$key")"
  done
  if ((${#payload_keys[@]} == 0 && !unauthenticated)); then
    for name in config package; do
      server=${name}_server
      server=${!server}
      if [[ $server != https://* ]]; then
        echo "refused: the $name server \"$server\" is plain HTTP and no --payload-key was given, so" >&2
        echo "anyone between the users and the server could hand them a file of their own, which the" >&2
        echo "utility then runs or loads as administrator. Sign the downloads (tools/sign-payload.sh)" >&2
        echo "and give --payload-key public.pem, or give --unauthenticated to build it anyway." >&2
        exit 1
      fi
    done
  fi

  # A fresh tree whose path differs each time: the bytes must not depend on it.
  mkdir -p "$root/build"
  local tree
  tree=$(mktemp -d "$root/build/release.XXXXXX")
  release_tree=$tree
  local configure=(-S "$root" -B "$tree" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake"
    -DCMAKE_BUILD_TYPE=Release -DKALVERA_REPRODUCIBLE=ON -DKALVERA_BENCH=OFF
    -DKALVERA_CONFIG_SERVER="$config_server" -DKALVERA_PACKAGE_SERVER="$package_server")
  [ -n "$version" ] && configure+=(-DKALVERA_VERSION="$version")
  [ -n "$key_list" ] && configure+=(-DKALVERA_PAYLOAD_KEY="$key_list")
  echo "== configuring a clean Release tree in $tree"
  cmake "${configure[@]}" >"$tree/configure.log" 2>&1 || { cat "$tree/configure.log" >&2; exit 1; }
  version=$(sed -n 's/^KALVERA_VERSION:STRING=//p' "$tree/CMakeCache.txt")
  echo "== building KalveraBase.exe $version"
  cmake --build "$tree" --target KalveraBase -j"${JOBS:-2}"

  local stage="$tree/KalveraBase-$version" exe
  mkdir "$stage"
  exe="$stage/KalveraBase.exe"
  if [ -n "$pfx" ]; then
    sign "$tree/KalveraBase.exe" "$exe" "$tree"
  else
    cp "$tree/KalveraBase.exe" "$exe"
  fi
  (cd "$stage" && sha256sum KalveraBase.exe >SHA256SUMS)

  mkdir -p "$dist"
  rm -rf "${dist:?}/KalveraBase-$version"
  mv "$stage" "$dist/"
  exe="$dist/KalveraBase-$version/KalveraBase.exe"
  echo "== $exe"
  echo "   $(stat -c %s "$exe") bytes, sha256 $(cut -d' ' -f1 "$dist/KalveraBase-$version/SHA256SUMS")"
  echo "   config server $config_server, package server $package_server$( ((test_build)) && echo ', TEST BUILD')"
  if ((${#payload_keys[@]})); then
    echo "   downloads authenticated: signed with one of ${#payload_keys[@]} payload key(s)"
  else
    echo "   downloads NOT authenticated: no payload key; only HTTPS, where given, protects them"
  fi
  if git -C "$root" rev-parse --verify -q HEAD >/dev/null; then
    echo "   from commit $(git -C "$root" rev-parse HEAD)$(git -C "$root" diff --quiet HEAD -- || echo ' WITH UNCOMMITTED CHANGES')"
  fi
  if [ -z "$pfx" ]; then
    echo "   UNSIGNED: no KALVERA_SIGN_PFX was given. Windows will name an unknown publisher"
    echo "   when it asks to elevate, and SmartScreen will warn on first runs."
  fi
}

# write_password <dir>: prints the name of a new file in <dir> holding the password.
# mktemp makes the file readable and writable by its owner alone; printf is a shell
# builtin, so the password never shows in a process list.
write_password() {
  local file
  file=$(mktemp "$1/pass.XXXXXX")
  printf '%s' "${KALVERA_SIGN_PASSWORD:-}" >"$file"
  echo "$file"
}

# check_certificate <scratch-dir>: the PFX opens with the password, and its certificate
# has not expired.
check_certificate() {
  local pass_file certificate
  pass_file=$(write_password "$1")
  # PFX files from older tools use ciphers that OpenSSL 3 keeps in its legacy provider.
  certificate=$(openssl pkcs12 -in "$KALVERA_SIGN_PFX" -passin "file:$pass_file" -nokeys -clcerts 2>/dev/null ||
    openssl pkcs12 -legacy -in "$KALVERA_SIGN_PFX" -passin "file:$pass_file" -nokeys -clcerts 2>/dev/null) || {
    echo "KALVERA_SIGN_PFX: \"$KALVERA_SIGN_PFX\" does not open with KALVERA_SIGN_PASSWORD" >&2
    exit 1
  }
  rm -f "$pass_file"
  openssl x509 -noout -checkend 0 <<<"$certificate" >/dev/null || {
    echo "KALVERA_SIGN_PFX: the certificate has expired ($(openssl x509 -noout -enddate <<<"$certificate"))" >&2
    exit 1
  }
  echo "== signing with $(openssl x509 -noout -subject <<<"$certificate")"
}

# sign <in> <out> <scratch-dir>: Authenticode with SHA-256, then the signature verified.
sign() {
  local in=$1 out=$2 pass_file
  pass_file=$(write_password "$3")
  local args=(sign -pkcs12 "$KALVERA_SIGN_PFX" -readpass "$pass_file" -h sha256
    -n "Kalvera base installer")
  [ -n "${KALVERA_SIGN_TIMESTAMP:-}" ] && args+=(-ts "$KALVERA_SIGN_TIMESTAMP")
  echo "== signing"
  local rc=0
  osslsigncode "${args[@]}" -in "$in" -out "$out" || rc=$?
  rm -f "$pass_file"
  ((rc == 0)) || { echo "signing failed" >&2; exit 1; }
  local verify=(verify -in "$out")
  [ -n "${KALVERA_SIGN_CAFILE:-}" ] && verify+=(-CAfile "$KALVERA_SIGN_CAFILE")
  local report
  report=$(osslsigncode "${verify[@]}" 2>&1) || {
    printf '%s\n' "$report" >&2
    echo "the signature does not verify" >&2
    exit 1
  }
  echo "   signed; $(grep -m1 -i 'subject:' <<<"$report" | sed 's/^[[:space:]]*//')"
}

if [[ ${BASH_SOURCE[0]} == "$0" ]]; then main "$@"; fi
