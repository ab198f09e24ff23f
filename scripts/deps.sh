#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test the tool (openbox, icewm, fluxbox
# and metacity: the window managers some Qt tests start on a private X server).
set -euo pipefail
packages=(g++ make cmake pkg-config libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev
          libxcb1-dev qt6-translations-l10n clang libclang-rt-dev socat xvfb xauth fonts-noto-cjk
          openbox icewm fluxbox metacity x11-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "== all build packages present"
  exit 0
fi
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "== installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
