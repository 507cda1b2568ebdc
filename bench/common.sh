# shellcheck shell=bash
# Shared by the transfer benchmarks; sourced, not run. Expects `bench` (the script's name, for
# messages) and `build` (the build folder) to be set.

host="$build/bin/volan-host"
state="${VOLAN_SERVERS_STATE:-/tmp/volan-servers}"
[ -x "$host" ] || { echo "$bench: build $host first" >&2; exit 2; }
[ -f "$state/servers.env" ] || { echo "$bench: start the servers first (scripts/servers/start)" >&2; exit 2; }
# shellcheck disable=SC1091
. "$state/servers.env"

# Makes `work` (local files) and `remote_dir` (served; `name` below the login folder), removed
# again on exit. Both sit on memory file systems of SIZE_MB when this runs as root (TMPFS=0 keeps
# the disk): the disk's write-back varies from run to run by more than the tools differ.
# `storage` says which. The plug-in gets a private home, with the test CA trusted.
bench_folders() {  # SIZE_MB
  work="$(mktemp -d "${TMPDIR:-/tmp}/volan-$bench-XXXXXX")"
  name="$bench-$$"
  remote_dir="$VOLAN_TEST_HOME/$name"
  trap bench_cleanup EXIT
  storage="disk"
  if [ "$(id -u)" = 0 ] && [ "${TMPFS:-1}" = 1 ]; then
    mkdir -p "$remote_dir"
    mount -t tmpfs -o "size=${1}m,mode=0700" "volan-$bench" "$work" &&
      mount -t tmpfs -o "size=${1}m,mode=0777" "volan-$bench" "$remote_dir" && storage="tmpfs"
  fi
  mkdir -p "$work/home" "$remote_dir"
  chmod 0777 "$remote_dir"  # the servers' user writes here
  export HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" XDG_CONFIG_HOME="$work/home/.config"
  export VOLAN_EXTRA_CA_FILE="$VOLAN_CA_FILE" VOLAN_UI=headless
}

bench_cleanup() {
  umount "$remote_dir" "$work" 2>/dev/null || true
  rm -rf "$work"
  rm -rf "$remote_dir" 2>/dev/null || sudo rm -rf "$remote_dir" 2>/dev/null || true
}

# A stored account on the test servers: bench_account NAME SECURE_TYPE PORT
# bench_tree FILES FOLDERS FILE_KB: $work/tree holds FOLDERS folders sharing FILES files of FILE_KB
# KiB, random bytes each; a copy of it sits on the server's side as the test user's ($remote_dir/source).
bench_tree() {
  local files=$1 folders=$2 file_kb=$3 per_folder folder i
  mkdir -p "$work/tree"
  per_folder=$(((files + folders - 1) / folders))
  head -c "$((files * file_kb))K" /dev/urandom >"$work/all.bin"
  for ((i = 0; i < files; i++)); do
    folder="$work/tree/folder $((i / per_folder))"
    mkdir -p "$folder"
    dd if="$work/all.bin" of="$folder/file $i.bin" bs=1K skip=$((i * file_kb)) count="$file_kb" status=none
  done
  rm "$work/all.bin"
  cp -r "$work/tree" "$remote_dir/source"
  chown -R "$VOLAN_TEST_USER" "$remote_dir" 2>/dev/null || sudo chown -R "$VOLAN_TEST_USER" "$remote_dir"
  chmod -R a+rwX "$remote_dir"
}

# timed COMMAND...: runs it, fails loudly on an error (an "ERROR" result, or volan-host's "?" for a
# line it could not evaluate), prints the seconds it took.
timed() {
  local start end
  start=$(seconds)
  if ! "$@" >"$work/out.txt" 2>&1 || grep -q 'ERROR\|^?' "$work/out.txt"; then
    echo "$bench: failed: $*" >&2
    cat "$work/out.txt" >&2
    exit 1
  fi
  end=$(seconds)
  elapsed "$start" "$end"
}

# same_tree FOLDER WHAT: the copy must hold $work/tree, byte for byte.
same_tree() {
  diff -r "$work/tree" "$1" >/dev/null || { echo "$bench: $2 differs from the original tree" >&2; exit 1; }
}

bench_account() {
  "$host" -e "Volan_AddAccount(\"$1\")" \
    -e "Volan_SetAccountOption(\"$1\"; \"Host\"; \"$VOLAN_TEST_HOST\")" \
    -e "Volan_SetAccountOption(\"$1\"; \"Port\"; $3)" \
    -e "Volan_SetAccountOption(\"$1\"; \"Username\"; \"$VOLAN_TEST_USER\")" \
    -e "Volan_SetAccountOption(\"$1\"; \"Password\"; \"$VOLAN_TEST_PASSWORD\")" \
    -e "Volan_SetAccountOption(\"$1\"; \"SecureType\"; \"$2\")" >/dev/null
}

seconds() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
best() { printf '%s\n' "$@" | sort -g | head -n 1; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
