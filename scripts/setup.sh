#!/usr/bin/env bash
# Installs every Debian package the project needs. Safe to run again.
set -euo pipefail

packages=(
  cmake ninja-build make pkg-config python3
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  gcc-mingw-w64-i686-posix gcc-mingw-w64-x86-64-posix
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  mingw-w64-tools
  wine64 xvfb xdotool imagemagick x11-utils
  liblzma-dev zlib1g-dev googletest
  libssl-dev openssl osslsigncode
  dpkg-dev file
  clang libfuzzer-14-dev clang-format
  nsis
)

need_root() { [ "$(id -u)" -eq 0 ] || { echo "setup.sh must run as root (it installs packages)" >&2; exit 1; }; }

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ] || ! compgen -G "/var/lib/apt/lists/*Sources*" >/dev/null; then
  need_root
fi

# Source packages of the dependencies are fetched with apt-get source.
add_deb_src() {
  local f=/etc/apt/sources.list.d/debian-sources.sources
  if grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then return; fi
  need_root
  cat > "$f" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
}
add_deb_src

if [ ${#missing[@]} -gt 0 ] || ! compgen -G "/var/lib/apt/lists/*Sources*" >/dev/null; then
  apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
echo "setup: all packages present"
