#!/usr/bin/env bash
# Builds the two third-party static libraries (liblzma from xz-utils and
# Crypto++) for the Windows targets from Debian's source packages.
#
# Usage: scripts/build-deps.sh [<triple>...]
#   <triple> is i686-w64-mingw32 or x86_64-w64-mingw32; no argument = both.
#
# Result, per target, under ${QUILLMORE_DEPS_DIR:-/var/cache/quillmore-deps}:
#   <triple>/include/lzma.h, <triple>/include/lzma/*.h, <triple>/lib/liblzma.a
#   <triple>/include/cryptopp/*.h, <triple>/lib/libcryptopp.a
#   <triple>/.stamp   pinned versions + toolchain + flags of the build
# A target whose .stamp matches is left alone. Each target is built in a
# scratch directory next to the cache and moved into place only when complete,
# so an interrupted run never leaves a tree with a valid .stamp.
# Sources are downloaded/unpacked into <root>/src and reused across runs.
#
# Consumers (both targets):
#   compile: -I<root>/<triple>/include -DLZMA_API_STATIC
#            (liblzma is static only; the define keeps lzma.h from asking for
#            dllimport with non-GCC compilers and documents the intent)
#   link:    -L<root>/<triple>/lib ... -lcryptopp -llzma -lbcrypt
#            (Crypto++'s OS RNG uses BCryptGenRandom, because the library is
#            compiled with the toolchain's default _WIN32_WINNT (Windows 10
#            headers). Do not compile consumers with _WIN32_WINNT < 0x0602
#            or USE_MS_CRYPTOAPI: the Crypto++ headers would then select
#            the CryptoAPI backend and disagree with the library.)
#   plus -static (or at least -static-libgcc -static-libstdc++ and a static
#   winpthread) to get an exe that imports only Windows system DLLs.
set -euo pipefail

# ---- pinned source packages ------------------------------------------------
XZ_PKG=xz-utils
XZ_VERSION=5.4.1-1+deb12u1
CRYPTOPP_PKG=libcrypto++
CRYPTOPP_VERSION=8.7.0+git220824-1

# Bump when the recipe below changes in a way that must invalidate caches.
RECIPE_REVISION=1

XZ_CFLAGS="-O2"
XZ_CONFIGURE_ARGS=(
  --disable-shared --enable-static
  --disable-xz --disable-xzdec --disable-lzmadec --disable-lzmainfo
  --disable-lzma-links --disable-scripts --disable-doc --disable-nls
)
# Environment for Crypto++'s GNUmakefile. Passed through the environment,
# not the make command line, so the makefile can still append its own
# platform flags (-fno-devirtualize, -pthread, per-file ISA flags).
CRYPTOPP_CXXFLAGS="-O2"
# Setting _WIN32_WINNT explicitly stops the makefile from forcing the
# Windows XP value; 0x0A00 equals the mingw-w64 default that consumers see.
CRYPTOPP_CPPFLAGS="-DNDEBUG -D_WIN32_WINNT=0x0A00"

ALL_TRIPLES=(i686-w64-mingw32 x86_64-w64-mingw32)
ROOT=${QUILLMORE_DEPS_DIR:-/var/cache/quillmore-deps}
SRC=$ROOT/src
JOBS=2

log() { echo "build-deps: $*" >&2; }
die() { echo "build-deps: error: $*" >&2; exit 1; }

# "1:2.3-4" -> "2.3" (what dpkg-source names the unpacked directory after)
upstream_version() { local v=${1#*:}; echo "${v%-*}"; }
# "1:2.3-4" -> "2.3-4" (file names of the .dsc and tarballs carry no epoch)
noepoch_version() { echo "${1#*:}"; }

# Downloads (once) and unpacks (once) a source package into $SRC, prints the
# unpacked directory. The unpack goes through a scratch name and a rename.
ensure_source() {
  local pkg=$1 ver=$2
  local dir=$SRC/$pkg-$(upstream_version "$ver")
  local dsc=$SRC/${pkg}_$(noepoch_version "$ver").dsc

  if [ -f "$dir/debian/changelog" ] &&
     [ "$(dpkg-parsechangelog -l "$dir/debian/changelog" -S Version)" = "$ver" ]; then
    echo "$dir"; return
  fi

  local attempt
  for attempt in 1 2; do
    if [ ! -f "$dsc" ]; then
      log "downloading source $pkg=$ver"
      (cd "$SRC" && apt-get source -qq --download-only "$pkg=$ver" >&2) ||
        die "apt-get source --download-only $pkg=$ver failed (deb-src configured? see scripts/setup.sh)"
    fi
    local tmp; tmp=$(mktemp -d "$SRC/.unpack-$pkg.XXXXXX")
    # dpkg-source checks the tarballs against the checksums in the .dsc.
    if dpkg-source -x "$dsc" "$tmp/tree" >"$tmp/log" 2>&1; then
      rm -rf "$dir"
      mv "$tmp/tree" "$dir"
      rm -rf "$tmp"
      echo "$dir"; return
    fi
    log "unpacking $dsc failed:"; cat "$tmp/log" >&2 || true
    rm -rf "$tmp"
    # A broken download: drop this version's files and fetch them again.
    local f
    for f in $(awk '/^Files:/{p=1;next} /^[^ ]/{p=0} p{print $3}' "$dsc" 2>/dev/null); do
      rm -f "$SRC/$f"
    done
    rm -f "$dsc"
  done
  die "could not obtain source of $pkg=$ver"
}

# Versions of the Debian packages providing the cross toolchain for a target,
# so a toolchain upgrade invalidates the cache.
toolchain_id() {
  local triple=$1 a
  a=${triple%%-*}; a=${a//_/-}
  local pkgs=(gcc-mingw-w64-$a-posix g++-mingw-w64-$a-posix binutils-mingw-w64-$a mingw-w64-$a-dev)
  if dpkg-query -W -f='${Package}=${Version} ' "${pkgs[@]}" 2>/dev/null; then
    echo
  else
    echo "$("$triple-g++-posix" --version | head -n1); $("$triple-ld" --version | head -n1)"
  fi
}

stamp_for() {
  local triple=$1
  cat <<EOF
recipe=$RECIPE_REVISION
target=$triple
$XZ_PKG=$XZ_VERSION
$CRYPTOPP_PKG=$CRYPTOPP_VERSION
toolchain=$(toolchain_id "$triple")
xz.CFLAGS=$XZ_CFLAGS
xz.configure=--host=$triple ${XZ_CONFIGURE_ARGS[*]}
cryptopp.makefile=GNUmakefile target=static
cryptopp.CXXFLAGS=$CRYPTOPP_CXXFLAGS
cryptopp.CPPFLAGS=$CRYPTOPP_CPPFLAGS
EOF
}

outputs_present() {
  local d=$1
  [ -f "$d/include/lzma.h" ] && [ -d "$d/include/lzma" ] && [ -f "$d/lib/liblzma.a" ] &&
    [ -f "$d/include/cryptopp/cryptlib.h" ] && [ -f "$d/lib/libcryptopp.a" ]
}

human_size() { du -h --apparent-size "$1" | cut -f1; }

build_target() {
  local triple=$1
  local out=$ROOT/$triple
  local cc=$triple-gcc-posix cxx=$triple-g++-posix ar=$triple-ar ranlib=$triple-ranlib
  local t
  for t in "$cc" "$cxx" "$ar" "$ranlib"; do
    command -v "$t" >/dev/null || die "$t not found (run scripts/setup.sh)"
  done

  local want; want=$(stamp_for "$triple")
  if [ -f "$out/.stamp" ] && [ "$(cat "$out/.stamp")" = "$want" ] && outputs_present "$out"; then
    echo "$triple: up to date in $out (liblzma.a $(human_size "$out/lib/liblzma.a"), libcryptopp.a $(human_size "$out/lib/libcryptopp.a"))"
    return
  fi

  local xz_src cryptopp_src
  xz_src=$(ensure_source "$XZ_PKG" "$XZ_VERSION")
  cryptopp_src=$(ensure_source "$CRYPTOPP_PKG" "$CRYPTOPP_VERSION")

  local start=$SECONDS
  local work; work=$(mktemp -d "$ROOT/.build-$triple.XXXXXX")
  CLEANUP_DIRS+=("$work")
  # Installed with --prefix=$out into a DESTDIR, so liblzma.pc names the
  # final location while nothing is written there until the end.
  local stage=$work/dest$out

  log "$triple: liblzma"
  mkdir -p "$work/xz"
  (
    cd "$work/xz"
    "$xz_src/configure" --host="$triple" --prefix="$out" "${XZ_CONFIGURE_ARGS[@]}" \
      CC="$cc" AR="$ar" RANLIB="$ranlib" CFLAGS="$XZ_CFLAGS" >"$work/xz-configure.log" 2>&1 ||
      { tail -n 40 "$work/xz-configure.log" >&2; exit 1; }
    make -j"$JOBS" >"$work/xz-make.log" 2>&1 || { tail -n 40 "$work/xz-make.log" >&2; exit 1; }
    make install DESTDIR="$work/dest" >>"$work/xz-make.log" 2>&1 ||
      { tail -n 40 "$work/xz-make.log" >&2; exit 1; }
  )
  rm -f "$stage/lib/liblzma.la"
  rm -rf "$stage/share" "$stage/bin"

  log "$triple: Crypto++"
  # The makefile builds in its source directory: work on a private copy.
  cp -a "$cryptopp_src" "$work/cryptopp"
  (
    cd "$work/cryptopp"
    CXX="$cxx" AR="$ar" RANLIB="$ranlib" \
      CXXFLAGS="$CRYPTOPP_CXXFLAGS" CPPFLAGS="$CRYPTOPP_CPPFLAGS" LDFLAGS="" \
      make -f GNUmakefile -j"$JOBS" static >"$work/cryptopp-make.log" 2>&1 ||
      { tail -n 40 "$work/cryptopp-make.log" >&2; exit 1; }
  )
  # Debian's makefile names the archive libcrypto++.a; install it under the
  # upstream name together with the headers in include/cryptopp.
  local lib
  for lib in libcrypto++.a libcryptopp.a; do
    [ -f "$work/cryptopp/$lib" ] && break
  done
  [ -f "$work/cryptopp/$lib" ] || die "$triple: Crypto++ build produced no static library"
  mkdir -p "$stage/include/cryptopp" "$stage/lib"
  cp "$work/cryptopp/$lib" "$stage/lib/libcryptopp.a"
  cp "$work/cryptopp"/*.h "$stage/include/cryptopp/"
  chmod 0644 "$stage/include/cryptopp"/*.h "$stage/lib/libcryptopp.a"

  # The pieces the project relies on must be in the archives.
  local sym missing=()
  local nm=$triple-nm
  for sym in lzma_alone_decoder lzma_code lzma_end; do
    "$nm" -g --defined-only "$stage/lib/liblzma.a" 2>/dev/null | grep -Eq " T _?$sym\$" || missing+=("$sym")
  done
  for sym in ZlibDecompressor FileSink RandomPool AutoSeededRandomPool OS_GenerateRandomBlock NonblockingRng; do
    "$nm" -g -C --defined-only "$stage/lib/libcryptopp.a" 2>/dev/null | grep -q "CryptoPP::$sym" || missing+=("CryptoPP::$sym")
  done
  [ ${#missing[@]} -eq 0 ] || die "$triple: libraries lack: ${missing[*]}"
  outputs_present "$stage" || die "$triple: incomplete install tree in $stage"

  printf '%s\n' "$want" >"$stage/.stamp"

  # Swap in. Between the two renames $out is absent, never half-written.
  if [ -e "$out" ]; then mv "$out" "$work/old"; fi
  mv "$stage" "$out"
  rm -rf "$work"

  echo "$triple: built in $((SECONDS - start))s -> $out (liblzma.a $(human_size "$out/lib/liblzma.a"), libcryptopp.a $(human_size "$out/lib/libcryptopp.a"))"
}

CLEANUP_DIRS=()
cleanup() {
  local d
  for d in "${CLEANUP_DIRS[@]}"; do rm -rf "$d"; done
}
trap cleanup EXIT

main() {
  local triples=("$@") t
  [ ${#triples[@]} -gt 0 ] || triples=("${ALL_TRIPLES[@]}")
  for t in "${triples[@]}"; do
    case $t in
      i686-w64-mingw32|x86_64-w64-mingw32) ;;
      -h|--help) sed -n '2,30p' "$0"; exit 0 ;;
      *) die "unknown target '$t' (expected: ${ALL_TRIPLES[*]})" ;;
    esac
  done

  mkdir -p "$ROOT" "$SRC"
  # One build at a time per cache; a second run waits, then finds the stamp.
  exec 9>"$ROOT/.lock"
  flock 9
  # Leftovers of interrupted runs (nobody else holds the lock).
  rm -rf "$ROOT"/.build-*.* "$SRC"/.unpack-*.*

  for t in "${triples[@]}"; do
    build_target "$t"
  done
}

main "$@"
