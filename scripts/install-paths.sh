# Sourced by install.sh and uninstall.sh: reads their arguments into
#   build   the build tree (--build-dir, default build/)
#   prefix  set with --prefix P or --system (P=/usr/local): cmake's layout, P/lib/vst3 and P/bin
#   dest    the folder that holds the bundle (default ~/.vst3, or the folder given)
#   sudo    "sudo" when that place is not ours to write
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bundle="kw TOLVAR Hall.vst3"
build="$root/build"
prefix=""
dest="$HOME/.vst3"

# The comment at the top of the calling script; to stderr with exit code 2 after a bad argument.
usage() {
  local text
  text=$(sed -n '2,/^set /{/^set /d;s/^# \{0,1\}//;p}' "$0")
  if [ "${1:-}" = help ]; then echo "$text"; exit 0; fi
  echo "$text" >&2
  exit 2
}

while [ $# -gt 0 ]; do
  case "$1" in
    --system) prefix=/usr/local ;;
    --prefix) [ $# -ge 2 ] || usage; prefix=$2; shift ;;
    --build-dir) [ $# -ge 2 ] || usage; build=$2; shift ;;
    -h|--help) usage help ;;
    -*) echo "$(basename "$0"): unknown option $1" >&2; usage ;;
    *) dest=$1 ;;
  esac
  shift
done

build=$(realpath -m "$build")
if [ -n "$prefix" ]; then
  prefix=$(realpath -m "$prefix")
  dest="$prefix/lib/vst3"
fi
dest=$(realpath -m "$dest")

# The nearest folder that exists decides whether we may write there.
owner_check=${prefix:-$dest}
while [ ! -e "$owner_check" ]; do owner_check=$(dirname "$owner_check"); done
sudo=""
if [ "$(id -u)" != 0 ] && [ ! -w "$owner_check" ]; then sudo=sudo; fi
