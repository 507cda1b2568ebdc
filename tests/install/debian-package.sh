#!/usr/bin/env bash
# Builds the Debian package of the build (cpack -G DEB, into a temporary folder) and checks its
# control fields, that dpkg-shlibdeps found the libraries it runs with, its files, and that apt
# could install it here.
#   debian-package.sh BUILD_DIR VERSION PLUGINDIR
set -euo pipefail
build=$1 version=$2 plugindir=$3
if ! command -v dpkg-shlibdeps >/dev/null || ! command -v file >/dev/null; then
  echo "SKIP: dpkg-shlibdeps or file is missing (scripts/install-deps installs dpkg-dev and file)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log" >&2
  fail "cpack failed"
}
arch=$(dpkg --print-architecture)
deb=$work/volan-pro_${version}_$arch.deb
[ -f "$deb" ] || fail "no $deb: $(ls "$work")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = volan-pro ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
for f in Maintainer Section Description; do [ -n "$(field $f)" ] || fail "no $f"; done
depends=$(field Depends)
for lib in libc6 'libstdc\+\+6' libcurl4 'libicu[0-9]+' 'libboost-regex[0-9a-z.-]+' 'libfltk1\.3' libsqlite3-0 libssl3; do
  grep -qE "(^|, )$lib( |,|$)" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
expected=$(printf './usr/%s\n' bin/volan-host "$plugindir/Volan_Pro_WIN.fmx64" "$plugindir/libFMWrapper.so" \
  share/man/man1/volan-host.1.gz | sort)
[ "$files" = "$expected" ] || fail "the package holds"$'\n'"$files"$'\n'"expected"$'\n'"$expected"

# Every dependency is known to apt here (a dry run: nothing is installed).
if command -v apt-get >/dev/null; then
  apt-get install -s -q "$deb" >"$work/apt.log" 2>&1 || {
    cat "$work/apt.log" >&2
    fail "apt-get could not install the package"
  }
fi
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes; Depends: $depends"
