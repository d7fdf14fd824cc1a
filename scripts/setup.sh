#!/usr/bin/env bash
# Installs everything the project needs on a Debian 12 machine. Safe to run again:
# it does nothing when every package and prepared dependency is already present.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libjpeg-dev dpkg-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth x11-apps x11-utils imagemagick xdotool nasm libjpeg-turbo-progs
  unar nsis
  libstb-dev libvorbis-dev pulseaudio pulseaudio-utils sox libsox-fmt-base
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

# Node.js and npm may come from outside Debian; only install Debian's when absent.
command -v node >/dev/null 2>&1 || missing+=(nodejs)
command -v npm >/dev/null 2>&1 || missing+=(npm)

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# The Windows build compiles libjpeg from Debian's source package (see
# engine/files/CMakeLists.txt). The source is fetched once into build/deps.
JPEG_SRC=build/deps/libjpeg-turbo-src
if [ ! -f "$JPEG_SRC/CMakeLists.txt" ]; then
  SRC_LIST=/etc/apt/sources.list.d/debian-src.sources
  if [ ! -f "$SRC_LIST" ]; then
    echo "setup: adding Debian source package entries"
    $SUDO tee "$SRC_LIST" >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    $SUDO apt-get update -qq
  fi
  echo "setup: fetching the libjpeg-turbo source package"
  mkdir -p build
  fetch=$(mktemp -d build/deps.XXXXXX)
  (cd "$fetch" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1) || {
    # A stale package list may name an old version; refresh once and retry.
    $SUDO apt-get update -qq
    (cd "$fetch" && apt-get source -qq libjpeg-turbo >/dev/null)
  }
  unpacked=$(find "$fetch" -mindepth 1 -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
  [ -n "$unpacked" ] && [ -f "$unpacked/CMakeLists.txt" ] || { echo "setup: libjpeg-turbo source not unpacked"; exit 1; }
  mkdir -p build/deps
  rm -rf "$JPEG_SRC"
  mv "$unpacked" "$JPEG_SRC"
  rm -rf "$fetch"
fi

# node-unrar-js: an independent RAR extractor (WebAssembly) that the packer's
# round-trip tests compare against. Installed into the build tree only.
NODE_PEERS=build/node-peers
if ! grep -q '"version": "2.0.2"' "$NODE_PEERS/node_modules/node-unrar-js/package.json" 2>/dev/null; then
  echo "setup: installing node-unrar-js@2.0.2 into $NODE_PEERS"
  mkdir -p "$NODE_PEERS"
  (cd "$NODE_PEERS" && npm install --no-save --no-audit --no-fund --loglevel=error node-unrar-js@2.0.2 >/dev/null)
fi
