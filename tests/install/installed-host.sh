#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed volan-host from another folder,
# with nothing of the build folder on any path: it must find the plug-in and libFMWrapper.so in the
# prefix alone. Also checks what is installed, --version, and that the parser, --help and the
# manual page name the same options.
#   installed-host.sh BUILD_DIR SOURCE_DIR VERSION BINDIR PLUGINDIR MANDIR
set -euo pipefail
build=$1 source=$2 version=$3 bindir=$4 plugindir=$5 mandir=$6
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

# Exactly these files: no tests, benchmarks or link checks.
expected=$(printf '%s\n' "$bindir/volan-host" "$plugindir/Volan_Pro_WIN.fmx64" "$plugindir/libFMWrapper.so" \
  "$mandir/man1/volan-host.1.gz" | sort)
installed=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort)
[ "$installed" = "$expected" ] || fail "installed files differ:"$'\n'"$installed"$'\n'"expected:"$'\n'"$expected"

# A clean environment in a folder of its own; the loader reports where each object came from.
mkdir -p "$work/home" "$work/cwd"
host=$prefix/$bindir/volan-host
run() {
  (cd "$work/cwd" && env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_DATA_HOME="$work/home/data" \
    XDG_CONFIG_HOME="$work/home/config" TMPDIR="$work" VOLAN_UI=headless LD_DEBUG=libs \
    LD_DEBUG_OUTPUT="$work/ld" "$host" "$@")
}
out=$(run --strings -e Volan_Version -e "Volan_LocalFileExists(\"$host\")" -e "Volan_LocalFileExists(\"$work/none\")")
want="Volan Pro"$'\n'"Volan Pro $version (Orb Core Version "
[ "${out#"$want"}" != "$out" ] || fail "--strings printed: $out"
[ "$(tail -n 3 <<<"$out" | sed 's/ (Orb Core.*//')" = "Volan Pro v.$version"$'\n1\n0' ] || fail "the functions printed: $out"
loaded=$(cat "$work"/ld.* | grep 'calling init: ' | sed 's/.*calling init: //' | while read -r f; do realpath "$f"; done)
prefix=$(realpath "$prefix")
grep -qxF "$prefix/$plugindir/libFMWrapper.so" <<<"$loaded" || fail "libFMWrapper.so not from the prefix: $loaded"
grep -qxF "$prefix/$plugindir/Volan_Pro_WIN.fmx64" <<<"$loaded" || fail "the plug-in not from the prefix: $loaded"
grep -qF "$build/" "$work"/ld.* && fail "the loader looked in the build folder"
rm -f "$work"/ld.*

[ "$(run --version)" = "volan-host (Volan Pro) $version" ] || fail "--version printed: $(run --version)"

# One set of options: what the parser takes, what --help describes, what the manual page's OPTIONS describe.
options() { grep -oE -- '(^|[^A-Za-z0-9_-])--?[a-z][a-z-]*' | sed 's/^[^-]*//' | sort -u; }
parsed=$(grep -oE 'a == "--?[a-z-]+"' "$source/host/tools/volan-host.cpp" | sed 's/a == "//; s/"$//' | sort -u)
helped=$(run --help | grep -E '^  -' | sed -E 's/^  (-[a-z-]+(, -[a-z-]+)?).*/\1/' | options)
manual=$(gzip -dc "$prefix/$mandir/man1/volan-host.1.gz" | sed 's/\\-/-/g; s/\\f[BIRP]//g' |
  awk '/^\.SH / { inside = $2 == "OPTIONS" } inside && previous == ".TP" { print } { previous = $0 }' | options)
[ "$helped" = "$parsed" ] || fail "--help shows"$'\n'"$helped"$'\n'"the parser takes"$'\n'"$parsed"
[ "$manual" = "$parsed" ] || fail "the manual page names"$'\n'"$manual"$'\n'"the parser takes"$'\n'"$parsed"
if command -v groff >/dev/null; then
  lint=$(groff -man -Tutf8 -ww -z "$source/doc/volan-host.1" 2>&1)
  [ -z "$lint" ] || fail "the manual page has warnings: $lint"
fi
echo "installed volan-host runs from $prefix"
