#!/usr/bin/env bash
# The signed release, end to end, with a throwaway certificate authority and
# code-signing certificate made here by openssl: builds the release preset
# signed in its own folder, checks both images with scripts/check-release.sh
# and with `osslsigncode verify -CAfile`, checks that the uninstaller packed
# into the installer is the signed one, and that one flipped byte makes both
# osslsigncode and the installer's own check (the same judgement, run on
# this host by the digest tool) refuse the installer.
#
#   scripts/check-signed-release.sh [--lane] [BUILD_DIR]   (default build/i686-signed)
#
# --lane  also in the emulated i686 machine (tests/harness/i686-vm-run, about
#         three minutes): the signed installer installs unattended, the
#         installed uninst.exe is the signed file byte for byte, and the
#         installer with the flipped byte refuses itself (exit 150, its line)
#         and creates nothing.
#
# The key and its password live in a temporary folder outside the build
# tree, removed afterwards; the build log is searched for the password.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
lane=0
[ "${1:-}" = "--lane" ] && { lane=1; shift; }
build=$(realpath -m "${1:-$root/build/i686-signed}")
keys=$(mktemp -d "${TMPDIR:-/tmp}/quillmore-signing.XXXXXX")
trap 'rm -rf "$keys"' EXIT
failures=0
fail() { echo "check-signed-release: FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "check-signed-release: ok: $*"; }
for tool in openssl osslsigncode python3; do
  command -v "$tool" >/dev/null || { echo "check-signed-release: $tool is not installed (scripts/setup.sh)" >&2; exit 2; }
done

# A certificate authority and a code-signing certificate it issued.
make_keys() {
  openssl rand -hex 24 > "$keys/password"
  openssl req -x509 -newkey rsa:3072 -nodes -keyout "$keys/ca.key" -out "$keys/ca.pem" -days 2 \
    -subj "/CN=Quillmore throwaway test CA" -addext basicConstraints=critical,CA:TRUE \
    -addext keyUsage=critical,keyCertSign,cRLSign
  openssl req -newkey rsa:3072 -nodes -keyout "$keys/signer.key" -out "$keys/signer.csr" \
    -subj "/CN=Vantrel test code signing"
  printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' > "$keys/signer.ext"
  openssl x509 -req -in "$keys/signer.csr" -CA "$keys/ca.pem" -CAkey "$keys/ca.key" -CAcreateserial \
    -out "$keys/signer.pem" -days 2 -extfile "$keys/signer.ext"
  openssl pkcs12 -export -inkey "$keys/signer.key" -in "$keys/signer.pem" -certfile "$keys/ca.pem" \
    -out "$keys/signer.p12" -passout "file:$keys/password"
}
make_keys >"$keys/openssl.log" 2>&1 || { cat "$keys/openssl.log" >&2; exit 2; }

log=$build.log
# Every run has a new key: the images must be linked and signed again.
rm -f "$build"/bin/*.exe
(cd "$root" && cmake --preset release-i686 -B "$build" -DQUILLMORE_SIGN_PKCS12="$keys/signer.p12" \
   -DQUILLMORE_SIGN_PASSWORD_FILE="$keys/password" && cmake --build "$build" -j2 -v) >"$log" 2>&1 ||
  { tail -30 "$log" >&2; echo "check-signed-release: the signed build failed, see $log" >&2; exit 2; }
grep -qF "$(cat "$keys/password")" "$log" && fail "the password appears in the build log" ||
  pass "the password appears nowhere in the build log"
grep -rqF "$(cat "$keys/password")" "$build" && fail "the password appears in the build tree" ||
  pass "the password appears nowhere in the build tree"

"$root/scripts/check-release.sh" "$build" >"$build.check-release.log" 2>&1 &&
  pass "check-release.sh passes for both signed images" ||
  { cat "$build.check-release.log" >&2; fail "check-release.sh refuses the signed images"; }

installer=$build/bin/QuillmoreInstaller.exe
for image in "$installer" "$build/bin/uninst.exe"; do
  osslsigncode verify -CAfile "$keys/ca.pem" -in "$image" >"$keys/verify.log" 2>&1 &&
    pass "osslsigncode verify: $(basename "$image") is signed by the test CA's certificate" ||
    { cat "$keys/verify.log" >&2; fail "osslsigncode verify refuses $(basename "$image")"; }
done
"$build/tools/quillmore-imagedigest" verify "$installer" >/dev/null &&
  pass "the signed installer passes its own check" || fail "the signed installer fails its own check"

packed=$(python3 "$root/scripts/pe-resources.py" "$installer" '"BINARY"' 149 |
  python3 -c 'import sys, zlib, hashlib; print(hashlib.sha256(zlib.decompress(sys.stdin.buffer.read())).hexdigest())')
[ "$packed" = "$(sha256sum < "$build/bin/uninst.exe" | cut -d' ' -f1)" ] &&
  pass "resource 149 holds the signed uninst.exe byte for byte" ||
  fail "resource 149 is not the signed uninst.exe"

# One flipped byte in the middle of the code.
flipped=$keys/flipped.exe
python3 - "$installer" "$flipped" <<'PY'
import sys
image = bytearray(open(sys.argv[1], "rb").read())
image[0x2000] ^= 0x01
open(sys.argv[2], "wb").write(image)
PY
osslsigncode verify -CAfile "$keys/ca.pem" -in "$flipped" >/dev/null 2>&1 &&
  fail "osslsigncode accepts the installer with a flipped byte" ||
  pass "osslsigncode refuses the installer with a flipped byte"
"$build/tools/quillmore-imagedigest" verify "$flipped" >/dev/null &&
  fail "the installer's own check accepts a flipped byte" ||
  pass "the installer's own check refuses the installer with a flipped byte"

# The same images run by 32-bit Wine; the installer's lines are checked here.
if [ "$lane" = 1 ]; then
  cp "$flipped" "$build/flipped.exe"
  cat > "$build/lane.sh" <<'LANE'
b=$1
wine "$b/bin/QuillmoreInstaller.exe" -acceptEULA '-installDir=C:\Q' >/dev/null; echo "signed exit $?"
cmp -s "$(winepath -u 'C:\Q\uninst.exe' 2>/dev/null)" "$b/bin/uninst.exe" && echo "uninst.exe identical"
wine "$b/flipped.exe" -acceptEULA '-installDir=C:\R'; echo "flipped exit $?"
[ -e "$(winepath -u 'C:\R' 2>/dev/null)" ] && echo "C:\R created"
LANE
  (cd "$root" && tests/harness/i686-vm-run --work "$root" -- bash "$build/lane.sh" "$build") >"$build.lane.log" 2>"$build.lane.err" || true
  damaged="Installation error: The installer file Z:${build//\//\\}\\flipped.exe is damaged. Please obtain it again."
  expected=$(printf 'signed exit 0\nuninst.exe identical\n%s\n%s\nflipped exit 150' "$damaged" "$damaged")
  [ "$(tr -d '\r' < "$build.lane.log")" = "$expected" ] &&
    pass "i686: the signed installer installs the signed uninst.exe; the flipped one refuses itself" ||
    { cat "$build.lane.log" >&2; fail "i686: the signed images did not behave (see $build.lane.log)"; }
fi

if [ "$failures" -ne 0 ]; then
  echo "check-signed-release: $failures check(s) failed in $build" >&2
  exit 1
fi
echo "check-signed-release: all checks passed for the signed images in $build/bin"
