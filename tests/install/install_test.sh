#!/usr/bin/env bash
# install_test.sh SOURCE_DIR BUILD_DIR TMP_DIR
# Installs over an older copy with a stale file, loads the installed bundle, uninstalls.
set -euo pipefail
src=$1 build=$2 tmp=$3
bundle="kw TOLVAR Hall.vst3"
so="Contents/x86_64-linux/kw TOLVAR Hall.so"
rm -rf "$tmp"
mkdir -p "$tmp"

fail() { echo "FAIL: $*" >&2; exit 1; }

# An older copy: a stale resource and a leftover architecture folder.
old_copy() {
  mkdir -p "$1/$bundle/Contents/Resources" "$1/$bundle/Contents/i386-linux"
  echo stale > "$1/$bundle/Contents/Resources/stale.uidesc"
  echo old > "$1/$bundle/Contents/i386-linux/kw TOLVAR Hall.so"
}

# The folder holds exactly the built bundle, and a host loads it.
check_installed() {
  local dir=$1 host=$2
  diff -r "$build/$bundle" "$dir/$bundle" || fail "$dir/$bundle differs from the built bundle"
  local out
  out=$("$host" info "$dir/$bundle") || fail "tolvar-host info on $dir/$bundle failed"
  grep -qxF "Module: $dir/$bundle/$so" <<<"$out" || fail "loaded another module: $out"
  grep -qxF "Classes: 2" <<<"$out" || fail "no classes in: $out"
}

# cmake's layout under a prefix, through the script (which runs cmake --install).
prefix="$tmp/prefix"
old_copy "$prefix/lib/vst3"
mkdir -p "$prefix/bin" && touch "$prefix/bin/other-tool"
bash "$src/scripts/install.sh" --build-dir "$build" --prefix "$prefix" >"$tmp/log" 2>&1 ||
  fail "install --prefix: $(cat "$tmp/log")"
check_installed "$prefix/lib/vst3" "$prefix/bin/tolvar-host"
"$prefix/bin/tolvar-host" --version | grep -q "^tolvar-host [0-9]" || fail "installed tolvar-host --version"

# The user's ~/.vst3 by default, beside another plug-in.
home="$tmp/home"
old_copy "$home/.vst3"
mkdir -p "$home/.vst3/Other.vst3"
HOME="$home" bash "$src/scripts/install.sh" --build-dir "$build" >"$tmp/log" 2>&1 ||
  fail "install to ~/.vst3: $(cat "$tmp/log")"
check_installed "$home/.vst3" "$build/host/tolvar-host"
[ -z "$(find "$home/.vst3" -name '.*.new')" ] || fail "a temporary copy was left behind"

# Uninstall removes exactly what install put there.
HOME="$home" bash "$src/scripts/uninstall.sh" >/dev/null
bash "$src/scripts/uninstall.sh" --prefix "$prefix" >/dev/null
[ ! -e "$home/.vst3/$bundle" ] || fail "bundle left in ~/.vst3"
[ ! -e "$prefix/lib/vst3/$bundle" ] || fail "bundle left under the prefix"
[ ! -e "$prefix/bin/tolvar-host" ] || fail "tolvar-host left under the prefix"
[ -d "$home/.vst3/Other.vst3" ] && [ -f "$prefix/bin/other-tool" ] || fail "uninstall removed something else"
HOME="$home" bash "$src/scripts/uninstall.sh" | grep -q "nothing to remove" || fail "second uninstall"

rm -rf "$tmp"
echo "install test passed"
