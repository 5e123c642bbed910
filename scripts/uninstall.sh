#!/usr/bin/env bash
# Removes what scripts/install.sh put in place; takes the same arguments.
#   scripts/uninstall.sh             the bundle from ~/.vst3
#   scripts/uninstall.sh DIR         the bundle from DIR
#   scripts/uninstall.sh --system    the bundle from /usr/local/lib/vst3, tolvar-host from /usr/local/bin
#   scripts/uninstall.sh --prefix P  the bundle from P/lib/vst3, tolvar-host from P/bin
# The folders themselves stay: other plug-ins and programs live there too.
set -euo pipefail
. "$(dirname "$0")/install-paths.sh"

removed=0
targets=("$dest/$bundle")
[ -z "$prefix" ] || targets+=("$prefix/bin/tolvar-host")
for t in "${targets[@]}"; do
  if [ -e "$t" ]; then
    $sudo rm -rf "$t"
    echo "removed $t"
    removed=1
  fi
done
[ "$removed" = 1 ] || echo "nothing to remove in $dest"
