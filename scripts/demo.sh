#!/usr/bin/env bash
# Builds the plug-in bundle and renders the built-in demo phrase through it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)" --target tolvar_module tolvar-host
out=${1:-demo.wav}
./build/host/tolvar-host render "build/kw TOLVAR Hall.vst3" "$out"
echo "wrote $out"
