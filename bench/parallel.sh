#!/usr/bin/env bash
# Folder transfers over several connections at once: uploads and downloads a tree of many small
# files through the plug-in in volan-host (Volan_UploadDir / Volan_DownloadDir) over FTP and SFTP,
# with the account's MaxConnections 1 and then MAX, through a proxy that delays everything by
# DELAY_MS each way (bench/delay_proxy.py; it also carries FTP's passive data connections), like
# a distant server. Prints each time and the speed-up (time with 1 / time with MAX). Every copy is
# compared with the original tree.
#
#   bench/parallel.sh [BUILD_DIR]   (FILES=500 FOLDERS=10 FILE_KB=4 DELAY_MS=10 MAX=4 RUNS=1
#                                    PROTOCOLS="ftp sftp" by
#                                    default; the test servers must run: scripts/servers/start)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
files="${FILES:-500}"
folders="${FOLDERS:-10}"
file_kb="${FILE_KB:-4}"
delay_ms="${DELAY_MS:-10}"
max="${MAX:-4}"
runs="${RUNS:-1}"
protocols="${PROTOCOLS:-ftp sftp}"
bench=parallel
# shellcheck source=bench/common.sh
. "$root/bench/common.sh"
bench_folders "$((files * file_kb * 6 / 1024 + 64))"
bench_tree "$files" "$folders" "$file_kb"

# The proxies, stopped with the rest on exit.
proxies=()
stop_proxies() {
  for pid in "${proxies[@]}"; do kill "$pid" 2>/dev/null || true; done
  bench_cleanup
}
trap stop_proxies EXIT
start_proxy() {  # target-port [--ftp]; sets proxy_port
  /usr/bin/python3 "$root/bench/delay_proxy.py" "$1" "$delay_ms" "${@:2}" >"$work/proxy-$1" &
  proxies+=("$!")
  until [ -s "$work/proxy-$1" ]; do sleep 0.1; done
  proxy_port=$(head -n 1 "$work/proxy-$1")
}
start_proxy "$VOLAN_FTP_PORT" --ftp
ftp_port=$proxy_port
start_proxy "$VOLAN_SFTP_PORT"
sftp_port=$proxy_port

for n in 1 "$max"; do
  VOLAN_TEST_HOST=127.0.0.1 bench_account "parallel-ftp-$n" None "$ftp_port"
  VOLAN_TEST_HOST=127.0.0.1 bench_account "parallel-sftp-$n" SSH "$sftp_port"
  for proto in ftp sftp; do
    "$host" -e "Volan_SetAccountOption(\"parallel-$proto-$n\"; \"MaxConnections\"; $n)" >/dev/null
  done
done

upload() {  # proto connections target-folder-name
  "$host" -e "Volan_Connect(\"parallel-$1-$2\")" -e "Volan_MakeRemoteDir(\"$remote_dir/$3\")" \
    -e "Volan_ChangeRemoteDir(\"$remote_dir/$3\")" -e "Volan_UploadDir(\"$work/tree\"; 1)"
}
download() {  # proto connections local-folder
  mkdir -p "$3"
  "$host" -e "Volan_Connect(\"parallel-$1-$2\")" -e "Volan_ChangeLocalDir(\"$3\")" \
    -e "Volan_DownloadDir(\"$remote_dir/source\"; 1)"
}

for proto in $protocols; do
  for direction in upload download; do
    declare -A times=()
    for ((r = 1; r <= runs; r++)); do
      for n in 1 "$max"; do
        if [ $direction = upload ]; then
          t=$(timed upload $proto "$n" "up-$n")
          same_tree "$remote_dir/up-$n" "$proto upload over $n"
          rm -rf "${remote_dir:?}/up-$n"
        else
          rm -rf "$work/down"
          t=$(timed download $proto "$n" "$work/down")
          same_tree "$work/down" "$proto download over $n"
        fi
        times[$n]="${times[$n]:-} $t"
      done
    done
    # shellcheck disable=SC2086
    awk -v l="$proto $direction" -v n="$files" -v m="$max" -v one="$(best ${times[1]})" -v many="$(best ${times[$max]})" \
      'BEGIN { printf "%-14s 1 connection %7.2f s (%5.0f files/s)  %d connections %7.2f s (%5.0f files/s)  speed-up %.2f\n",
        l, one, n / one, m, many, n / many, one / many }'
    unset times
  done
done
echo "tree: $files files of $file_kb KiB in $folders folders on $storage, ${delay_ms} ms each way" \
  "($((delay_ms * 2)) ms round trip) through bench/delay_proxy.py; best of $runs run(s), logging in included"
