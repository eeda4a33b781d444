#!/usr/bin/env bash
# tools/release.sh as the vendor runs it, signing with a throwaway certificate made here.
# Leaves the signed executable in <work-dir>/signed/KalveraBase.exe for the Wine run that
# checks it still starts.
#
#   release_test.sh <work-dir>
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
work=$1
rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)
release=$root/tools/release.sh
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

echo "== loopback servers"
# A miss here lets a release for this computer go out to users.
(
  # shellcheck source=/dev/null
  source "$release"
  for server in 127.0.0.1 127.4.5.6:8080 https://127.0.0.1:47832 localhost LOCALHOST:80 localhost. \
    updates.localhost https://localhost '[::1]' '[::1]:47831' 'https://[::1]:443' '[0:0:0:0:0:0:0:1]' \
    '[::ffff:127.0.0.1]' 127.1 0x7f.0.0.1 0177.0.0.1 2130706433 0x7f000001; do
    is_loopback "$server" || echo "FAIL: $server was not seen as loopback"
  done
  # Refusing these would stop real releases: 128.0.0.1 and 2147483648 sit just past the
  # 127/8 block, 2130706431 just before it; 08 is no octal number, so it is a name.
  for server in 10.0.0.1 128.0.0.1 1127.0.0.1 2130706431 2147483648 config.example \
    https://packages.example:8443 localhost.example 127.0.0.1.example '[2001:db8::1]' \
    '[::ffff:10.0.0.1]' 08.0.0.1; do
    is_loopback "$server" && echo "FAIL: $server was taken for loopback"
  done
  true
) | tee "$work/loopback.log"
grep -q FAIL "$work/loopback.log" && failures=$((failures + 1))

echo "== version record numbers"
# Each is a 16-bit field: 65536 would wrap to 0; "08" is no octal number to windres.
for version in 0.0.0 65535.65535.65535; do
  cmake -DKALVERA_VERSION="$version" -P "$root/cmake/kalvera_version.cmake" >/dev/null 2>&1 ||
    fail "version $version was refused"
done
for version in 65536.0.0 1.0.65536 1.08.0 1.2 1.2.3.4 v1.2.3 ""; do
  cmake -DKALVERA_VERSION="$version" -P "$root/cmake/kalvera_version.cmake" >/dev/null 2>&1 &&
    fail "version \"$version\" was accepted"
done

# A refusal must come before anything reaches the output folder, which may already hold
# earlier releases; and before a build, which would take minutes.
expect_refusal() {  # <what> <expected message> <release.sh arguments...>
  local what=$1 message=$2
  shift 2
  rm -rf "$work/dist" && mkdir -p "$work/dist/KalveraBase-0.9.0" && touch "$work/dist/KalveraBase-0.9.0/KalveraBase.exe"
  local before rc=0
  before=$(find "$work/dist" | sort)
  timeout 60 bash "$release" --dist "$work/dist" "$@" >"$work/refusal.log" 2>&1 || rc=$?
  ((rc != 0)) || fail "$what: not refused"
  # CMake wraps its messages at a width that depends on the paths in them.
  tr -s ' \n' ' ' <"$work/refusal.log" | grep -q -- "$message" || { cat "$work/refusal.log"; fail "$what: no \"$message\""; }
  [ "$(find "$work/dist" | sort)" = "$before" ] || fail "$what: the output folder changed"
}

echo "== refusals"
expect_refusal "a loopback package server" 'the package server "https://\[::1\]:8443" is this computer' \
  --config-server config.example --package-server 'https://[::1]:8443'
expect_refusal "a version too large" "over 65535" \
  --config-server config.example --package-server packages.example --version 1.2.65536
# A plain server without a payload key lets anyone on the way hand users a program.
expect_refusal "a plain server without a payload key" \
  'the package server "packages.example" is plain HTTP and no --payload-key was given' \
  --config-server https://config.example --package-server packages.example

echo "== payload keys and signatures"
keys=$work/payload
mkdir -p "$keys"
for name in old new; do
  openssl ecparam -name prime256v1 -genkey -noout -out "$keys/$name.pem" 2>/dev/null
  openssl ec -in "$keys/$name.pem" -pubout -out "$keys/$name.pub.pem" 2>/dev/null
done
printf 'package bytes' >"$keys/Setup1C.zip"
bash "$root/tools/sign-payload.sh" --key "$keys/new.pem" "$keys/Setup1C.zip" >/dev/null ||
  fail "sign-payload.sh failed"
openssl dgst -sha256 -verify "$keys/new.pub.pem" -signature "$keys/Setup1C.zip.sig" "$keys/Setup1C.zip" >/dev/null ||
  fail "the signature sign-payload.sh wrote does not verify"
# The configure step, not the utility, finds a key it cannot use.
expect_refusal "a private key given as the payload key" 'is not an ECDSA P-256 public key' \
  --config-server config.example --package-server packages.example --payload-key "$keys/new.pem"

# The throwaway signer: its own authority, and a password with the characters a shell or
# a command line would mangle.
certs=$work/certs
mkdir -p "$certs"
(
  cd "$certs"
  openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.crt -days 2 \
    -subj "/CN=Kalvera Release Test CA" -addext "basicConstraints=critical,CA:TRUE" \
    -addext "keyUsage=critical,keyCertSign" 2>/dev/null
  openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr \
    -subj "/O=Kalvera Test Vendor/CN=Kalvera Release Test Signer" 2>/dev/null
  printf '%s\n' "basicConstraints=CA:FALSE" "keyUsage=critical,digitalSignature" \
    "extendedKeyUsage=codeSigning" >signer.ext
  openssl x509 -req -in signer.csr -CA ca.crt -CAkey ca.key -CAcreateserial -days 1 \
    -extfile signer.ext -out signer.crt 2>/dev/null
  printf '%s' 'p4ss w$rd "x"' >password
  openssl pkcs12 -export -inkey signer.key -in signer.crt -certfile ca.crt -out signer.pfx \
    -passout file:password
)
password=$(cat "$certs/password")

export KALVERA_SIGN_PFX=$certs/signer.pfx KALVERA_SIGN_CAFILE=$certs/ca.crt KALVERA_SIGN_TIMESTAMP=""
KALVERA_SIGN_PASSWORD="wrong" expect_refusal "a wrong certificate password" "does not open" \
  --config-server config.example --package-server packages.example

# osslsigncode seen from outside: every command line, and the password file's mode and
# size while osslsigncode runs.
mkdir -p "$work/bin"
cat >"$work/bin/osslsigncode" <<'EOF'
#!/usr/bin/env bash
printf '%s\n' "$*" >>"$RECORD_LOG"
args=("$@")
for ((i = 0; i + 1 < ${#args[@]}; i++)); do
  if [ "${args[i]}" = -readpass ]; then
    file=${args[i + 1]}
    echo "readpass $file mode $(stat -c %a "$file") bytes $(stat -c %s "$file")" >>"$RECORD_LOG"
  fi
done
exec "$REAL_OSSLSIGNCODE" "$@"
EOF
chmod +x "$work/bin/osslsigncode"
export RECORD_LOG=$work/osslsigncode.log REAL_OSSLSIGNCODE
REAL_OSSLSIGNCODE=$(command -v osslsigncode)

echo "== a signed test release (a clean Release build: about a minute)"
trees_before=$(ls -d "$root"/build/release.* 2>/dev/null || true)
rm -rf "$work/dist"
PATH="$work/bin:$PATH" KALVERA_SIGN_PASSWORD=$password bash "$release" --test-build \
  --config-server 127.0.0.1:47831 --package-server 127.0.0.1:47831 --version 2.3.4 --dist "$work/dist" \
  --payload-key "$keys/old.pub.pem" --payload-key "$keys/new.pub.pem" |
  tee "$work/release.log"
out=$work/dist/KalveraBase-2.3.4
exe=$out/KalveraBase.exe

[ "$(ls "$out" | tr '\n' ' ')" = "KalveraBase.exe SHA256SUMS " ] ||
  fail "the release folder holds $(ls "$out" | tr '\n' ' ') rather than the executable and its sums"
(cd "$out" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the signed file"
grep -q UNSIGNED "$work/release.log" && fail "a signed release calls itself unsigned"
grep -q "downloads authenticated: signed with one of 2 payload key(s)" "$work/release.log" ||
  fail "the summary does not say the downloads are authenticated"

verify=$(osslsigncode verify -CAfile "$certs/ca.crt" -in "$exe" 2>&1) || {
  echo "$verify"
  fail "the signature does not verify against the test authority"
}
grep -q "Subject: .*CN *= *Kalvera Release Test Signer" <<<"$verify" ||
  fail "the signature does not name the test signer"
grep -qiE "^Message digest algorithm *: *SHA256" <<<"$verify" || fail "the signature's digest is not SHA-256"

if grep -qF -- "$password" "$work/osslsigncode.log"; then fail "the password was on osslsigncode's command line"; fi
grep -q -- "-pass " "$work/osslsigncode.log" && fail "osslsigncode was given -pass"
grep -q "^readpass .* mode 600 bytes ${#password}$" "$work/osslsigncode.log" ||
  fail "no owner-only password file of the password's length: $(grep readpass "$work/osslsigncode.log")"
for file in $(sed -n 's/^readpass \([^ ]*\) .*/\1/p' "$work/osslsigncode.log"); do
  [ ! -e "$file" ] || fail "the password file $file was left behind"
done

# What Windows shows in the file's properties, read back from the signed file.
resources=$(x86_64-w64-mingw32-windres -i "$exe" -O rc)
grep -q "FILEVERSION 2, 3, 4, 0" <<<"$resources" || fail "the file version is not 2.3.4.0"
grep -q "PRODUCTVERSION 2, 3, 4, 0" <<<"$resources" || fail "the product version is not 2.3.4.0"
grep -q 'VALUE "FileVersion", "2.3.4.0"' <<<"$resources" || fail "the FileVersion text is not 2.3.4.0"

# What would make two builds of the same sources differ, or leak the vendor's build machine.
headers=$(x86_64-w64-mingw32-objdump -p -h -t "$exe")
grep -q "^Time/Date[[:space:]]*Thu Jan  1 00:00:00 1970" <<<"$headers" || fail "the PE header carries a link time"
grep -q "\.debug_" <<<"$headers" && fail "debug sections were shipped"
grep -q "^no symbols" <<<"$headers" || fail "the symbol table was shipped"
grep -aqF "$root" "$exe" && fail "the executable names the source folder $root"

[ "$(ls -d "$root"/build/release.* 2>/dev/null || true)" = "$trees_before" ] ||
  fail "the release's build tree was left in build/"

mkdir -p "$work/signed"
cp "$exe" "$work/signed/KalveraBase.exe"
echo "release size $(stat -c %s "$exe") bytes"
((failures == 0)) || { echo "$failures check(s) failed"; exit 1; }
echo "all release checks passed"
