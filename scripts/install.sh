#!/usr/bin/env bash
# Builds the plug-in when needed and installs it where VST 3 hosts look for it.
#   scripts/install.sh               the bundle into ~/.vst3
#   scripts/install.sh DIR           the bundle into DIR
#   scripts/install.sh --system      the bundle into /usr/local/lib/vst3, tolvar-host into /usr/local/bin
#   scripts/install.sh --prefix P    the bundle into P/lib/vst3, tolvar-host into P/bin
#   --build-dir B                    install from the build tree B (default build/)
# An older copy of the bundle is replaced whole. scripts/uninstall.sh with the same
# arguments removes it again.
set -euo pipefail
. "$(dirname "$0")/install-paths.sh"

if [ ! -f "$build/CMakeCache.txt" ]; then
  bash "$root/scripts/deps.sh"
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" -j"$(nproc)" --target tolvar_module tolvar-host

if [ -n "$prefix" ]; then
  $sudo cmake --install "$build" --prefix "$prefix"
else
  # Copied beside the old copy first, so a failed copy leaves the old one working.
  fresh="$dest/.$bundle.new"
  $sudo mkdir -p "$dest"
  $sudo rm -rf "$fresh"
  $sudo cp -R "$build/$bundle" "$fresh"
  $sudo rm -rf "${dest:?}/$bundle"
  $sudo mv "$fresh" "$dest/$bundle"
fi
echo "installed $dest/$bundle"
