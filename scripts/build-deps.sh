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
#            -D_WIN32_WINNT=0x0601 (any value below 0x0602) -fno-devirtualize
#   link:    -L<root>/<triple>/lib ... -lcryptopp -llzma -ladvapi32
#            (in this order, after the objects that use them), and -static
#            (or -static-libgcc -static-libstdc++ plus a static winpthread)
#            for an exe that imports only Windows system DLLs.
#   LZMA_API_STATIC: liblzma is static only; the define keeps lzma.h from
#     asking for dllimport with non-GCC compilers and states the intent.
#   _WIN32_WINNT: Crypto++ is compiled for Windows 7 (0x0601, the project's
#     value in cmake/CompilerSettings.cmake), so its OS RNG is CryptoAPI's
#     CryptGenRandom from advapi32. Its headers pick the RNG backend from
#     _WIN32_WINNT as well: consumers compiled with 0x0602 or higher (the
#     mingw-w64 default is 0x0A00) would see the BCrypt variant instead.
#   -fno-devirtualize: GCC 12 miscompiles Crypto++ templates, and those are
#     instantiated in the consumer's own objects too (see CRYPTOPP_CXXFLAGS).
set -euo pipefail

# ---- pinned source packages ------------------------------------------------
XZ_PKG=xz-utils
XZ_VERSION=5.4.1-1+deb12u1
CRYPTOPP_PKG=libcrypto++
CRYPTOPP_VERSION=8.7.0+git220824-1

# Bump when the recipe below changes in a way that must invalidate caches.
RECIPE_REVISION=2

# Each function and datum in its own section, as the project builds its own
# code, so the linker keeps only what the installer and uninstaller reach.
XZ_CFLAGS="-O2 -ffunction-sections -fdata-sections"
XZ_CONFIGURE_ARGS=(
  --disable-shared --enable-static
  --disable-xz --disable-xzdec --disable-lzmadec --disable-lzmainfo
  --disable-lzma-links --disable-scripts --disable-doc --disable-nls
)
# Flags for Crypto++'s GNUmakefile. Passed through the environment, not the
# make command line, so the makefile can still append its own platform flags
# (-pthread, per-file ISA flags for runtime dispatch).
# -g0: without any -g the makefile adds -g2 (a 4x larger archive).
# -fno-devirtualize: GCC 12 drops live code in Crypto++ (upstream issues
# 1134/1141); the makefile only adds the flag for Linux targets. Without it
# the library's own ECGDSA validation hangs on x86_64 MinGW.
# _WIN32_WINNT/WINVER: the project's Windows 7 baseline; set explicitly so
# the makefile does not force its Windows XP value either.
# Everything goes into CXXFLAGS and CPPFLAGS stays empty: the makefile probes
# "$(CPPFLAGS)$(CXXFLAGS)" without a separating space.
# -Os -ffunction-sections -fdata-sections: the installer uses a decompressor
# and a random pool of the library; size matters more than speed there.
CRYPTOPP_CXXFLAGS="-Os -g0 -DNDEBUG -D_WIN32_WINNT=0x0601 -DWINVER=0x0601 -fno-devirtualize -ffunction-sections -fdata-sections"

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
  local dir dsc
  dir=$SRC/$pkg-$(upstream_version "$ver")
  dsc=$SRC/${pkg}_$(noepoch_version "$ver").dsc

  if [ -f "$dir/debian/changelog" ] &&
     [ "$(dpkg-parsechangelog -l "$dir/debian/changelog" -S Version)" = "$ver" ]; then
    echo "$dir"; return
  fi

  local _attempt
  for _attempt in 1 2; do
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
    while read -r f; do
      [ -n "$f" ] && rm -f "$SRC/$f"
    done < <(awk '/^Files:/{p=1;next} /^[^ ]/{p=0} p{print $3}' "$dsc" 2>/dev/null || true)
    rm -f "$dsc"
  done
  die "could not obtain source of $pkg=$ver"
}

# Versions of the Debian packages providing the cross toolchain for a target,
# so a toolchain upgrade invalidates the cache.
toolchain_id() {
  local triple=$1 a
  a=${triple%%-*}; a=${a//_/-}
  local pkgs=("gcc-mingw-w64-$a-posix" "g++-mingw-w64-$a-posix" "binutils-mingw-w64-$a" "mingw-w64-$a-dev")
  local v
  if v=$(dpkg-query -W -f='${Package}=${Version} ' "${pkgs[@]}" 2>/dev/null); then
    echo "${v% }"
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
      CC="$cc" AR="$ar" RANLIB="$ranlib" CFLAGS="$XZ_CFLAGS" CPPFLAGS='' LDFLAGS='' LIBS='' >"$work/xz-configure.log" 2>&1 ||
      { tail -n 40 "$work/xz-configure.log" >&2; exit 1; }
    make -j"$JOBS" >"$work/xz-make.log" 2>&1 || { tail -n 40 "$work/xz-make.log" >&2; exit 1; }
    make install DESTDIR="$work/dest" >>"$work/xz-make.log" 2>&1 ||
      { tail -n 40 "$work/xz-make.log" >&2; exit 1; }
  )
  rm -f "$stage/lib/liblzma.la"
  rm -rf "${stage:?}/share" "${stage:?}/bin"

  log "$triple: Crypto++"
  # The makefile builds in its source directory: work on a private copy.
  cp -a "$cryptopp_src" "$work/cryptopp"
  (
    cd "$work/cryptopp"
    CXX="$cxx" AR="$ar" RANLIB="$ranlib" \
      CXXFLAGS="$CRYPTOPP_CXXFLAGS" CPPFLAGS='' LDFLAGS='' LDLIBS='' \
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
  # (nm output goes to files: "nm | grep -q" fails under pipefail on SIGPIPE.)
  local sym missing=()
  "$triple-nm" -g --defined-only "$stage/lib/liblzma.a" >"$work/lzma.syms"
  "$triple-nm" -g -C --defined-only "$stage/lib/libcryptopp.a" >"$work/cryptopp.syms"
  for sym in lzma_alone_decoder lzma_code lzma_end; do
    grep -Eq " T _?$sym\$" "$work/lzma.syms" || missing+=("$sym")
  done
  for sym in ZlibDecompressor FileSink RandomPool AutoSeededRandomPool OS_GenerateRandomBlock NonblockingRng MicrosoftCryptoProvider; do
    grep -q " T CryptoPP::$sym" "$work/cryptopp.syms" || missing+=("CryptoPP::$sym")
  done
  [ ${#missing[@]} -eq 0 ] || die "$triple: libraries lack: ${missing[*]}"
  outputs_present "$stage" || die "$triple: incomplete install tree in $stage"

  # Build logs travel with the result (configure summary, ISA probes).
  mkdir -p "$stage/.build-logs"
  cp "$work"/*.log "$stage/.build-logs/"

  printf '%s\n' "$want" >"$stage/.stamp"

  # Swap in. Between the two renames $out is absent, never half-written.
  if [ -e "$out" ]; then mv "$out" "$work/old"; fi
  mv "$stage" "$out"
  rm -rf "$work"

  echo "$triple: built in $((SECONDS - start))s -> $out (liblzma.a $(human_size "$out/lib/liblzma.a"), libcryptopp.a $(human_size "$out/lib/libcryptopp.a"))"
}

# On failure the scratch tree (with its *.log files) is kept for inspection;
# the next run removes it.
CLEANUP_DIRS=()
cleanup() {
  local rc=$? d
  for d in "${CLEANUP_DIRS[@]}"; do
    [ -e "$d" ] || continue
    if [ "$rc" -ne 0 ]; then log "build tree kept for inspection: $d"; else rm -rf "$d"; fi
  done
}
trap cleanup EXIT

main() {
  local triples=("$@") t
  [ ${#triples[@]} -gt 0 ] || triples=("${ALL_TRIPLES[@]}")
  for t in "${triples[@]}"; do
    case $t in
      i686-w64-mingw32|x86_64-w64-mingw32) ;;
      -h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
      *) die "unknown target '$t' (expected: ${ALL_TRIPLES[*]})" ;;
    esac
  done

  mkdir -p "$ROOT"
  ROOT=$(cd "$ROOT" && pwd -P)   # configure wants an absolute --prefix
  SRC=$ROOT/src
  mkdir -p "$SRC"
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
