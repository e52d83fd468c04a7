#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need; skips what is already there.
set -euo pipefail
pkgs=(g++ cmake make pkg-config ccache
      qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools libqt5sql5-sqlite libqt5webkit5-dev
      libtag1-dev libssl-dev zlib1g-dev libsqlite3-dev fonts-dejavu-core xvfb xauth)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
