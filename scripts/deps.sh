#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.
set -euo pipefail
pkgs=(g++ cmake make pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev
      libexpat1-dev libcairo2-dev libpng-dev libsndfile1-dev libx11-dev libxcb1-dev libx11-xcb-dev libfontconfig-dev locales
      xvfb xdotool)
missing=()
for p in "${pkgs[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ] || [ "${CI:-}" = true ]; then
  sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${pkgs[@]}"
fi
