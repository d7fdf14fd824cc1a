#!/usr/bin/env bash
# Installs everything the project needs on a Debian 12 machine. Safe to run again:
# it does nothing when every package and prepared dependency is already present.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libjpeg-dev dpkg-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth x11-apps x11-utils imagemagick xdotool nasm
  unar
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

# node-unrar-js: an independent RAR extractor (WebAssembly) that the packer's
# round-trip tests compare against. Installed into the build tree only.
NODE_PEERS=build/node-peers
if ! grep -q '"version": "2.0.2"' "$NODE_PEERS/node_modules/node-unrar-js/package.json" 2>/dev/null; then
  echo "setup: installing node-unrar-js@2.0.2 into $NODE_PEERS"
  mkdir -p "$NODE_PEERS"
  (cd "$NODE_PEERS" && npm install --no-save --no-audit --no-fund --loglevel=error node-unrar-js@2.0.2 >/dev/null)
fi
