#!/usr/bin/env bash
# Uploads and downloads a tree of many small files over FTP and SFTP on loopback, through the
# plug-in in volan-host (Volan_UploadDir / Volan_DownloadDir), through `lftp mirror` (one
# connection) and through one curl process that reuses one connection for every file. The
# tools take turns, several runs each. Prints the fastest and the median time of each, the
# files per second, and the plug-in's throughput as a share of each other tool's (above 1 is
# faster). Every copy is compared with the original tree.
#
#   bench/dirtransfers.sh [BUILD_DIR]   (FILES=2000 FOLDERS=10 FILE_KB=4 RUNS=3 TMPFS=1 by
#                                        default; the test servers must run: scripts/servers/start)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
files="${FILES:-2000}"
folders="${FOLDERS:-10}"
file_kb="${FILE_KB:-4}"
runs="${RUNS:-3}"
bench=dirtransfers
# shellcheck source=bench/common.sh
. "$root/bench/common.sh"
command -v lftp >/dev/null || { echo "dirtransfers: lftp is missing (scripts/install-deps)" >&2; exit 2; }
bench_folders "$((files * file_kb * 4 / 1024 + 64))"
bench_tree "$files" "$folders" "$file_kb"

bench_account dirtransfers-ftp None "$VOLAN_FTP_PORT"
bench_account dirtransfers-sftp SSH "$VOLAN_SFTP_PORT"


plugin_upload() {  # proto target-folder-name
  "$host" -e "Volan_Connect(\"dirtransfers-$1\")" -e "Volan_MakeRemoteDir(\"$remote_dir/$2\")" \
    -e "Volan_ChangeRemoteDir(\"$remote_dir/$2\")" -e "Volan_UploadDir(\"$work/tree\"; 1)"
}
plugin_download() {  # proto local-folder
  mkdir -p "$2"
  "$host" -e "Volan_Connect(\"dirtransfers-$1\")" -e "Volan_ChangeLocalDir(\"$2\")" \
    -e "Volan_DownloadDir(\"$remote_dir/source\"; 1)"
}

# lftp: one connection, no parallel transfers. SFTP runs over OpenSSH's ssh, told to trust
# the test host key from the servers' known-hosts file.
lftp_run() {  # proto commands
  local url
  if [ "$1" = ftp ]; then url="ftp://$VOLAN_TEST_HOST:$VOLAN_FTP_PORT"; else url="sftp://$VOLAN_TEST_HOST:$VOLAN_SFTP_PORT"; fi
  lftp -u "$VOLAN_TEST_USER,$VOLAN_TEST_PASSWORD" \
    -e "set ftp:ssl-allow no; set net:max-retries 1; set cmd:fail-exit yes; \
set sftp:connect-program 'ssh -a -x -o UserKnownHostsFile=$VOLAN_SFTP_KNOWN_HOSTS -o StrictHostKeyChecking=yes'; \
$2; quit" "$url"
}
lftp_upload() { lftp_run "$1" "mirror -R --parallel=1 --no-perms '$work/tree' '$remote_dir/$2'"; }
lftp_download() { lftp_run "$1" "mirror --parallel=1 --no-perms '$remote_dir/source' '$2'"; }

# curl: one process given every file in a config file, so it keeps one connection open.
curl_url() {  # proto path-below-the-home
  local path=${2// /%20}
  if [ "$1" = ftp ]; then echo "ftp://$VOLAN_TEST_HOST:$VOLAN_FTP_PORT/$name/$path"; else
    echo "sftp://$VOLAN_TEST_HOST:$VOLAN_SFTP_PORT/~/$name/$path"
  fi
}
curl_config() {  # proto direction target
  local rel
  echo "user = \"$VOLAN_TEST_USER:$VOLAN_TEST_PASSWORD\""
  echo "silent"
  echo "show-error"
  [ "$1" = sftp ] && echo "hostpubsha256 = \"$VOLAN_SFTP_HOST_KEY_SHA256\""
  if [ "$2" = upload ]; then echo "ftp-create-dirs"; else echo "create-dirs"; fi
  (cd "$work/tree" && find . -type f | sort) | while read -r rel; do
    rel=${rel#./}
    if [ "$2" = upload ]; then
      echo "upload-file = \"$work/tree/$rel\""
      echo "url = \"$(curl_url "$1" "$3/$rel")\""
    else
      echo "url = \"$(curl_url "$1" "source/$rel")\""
      echo "output = \"$3/$rel\""
    fi
  done
}
for proto in ftp sftp; do
  curl_config $proto upload curl-up >"$work/curl-$proto-upload.cfg"
  curl_config $proto download "$work/down" >"$work/curl-$proto-download.cfg"
done
curl_upload() { curl -K "$work/curl-$1-upload.cfg"; }
curl_download() { curl -K "$work/curl-$1-download.cfg"; }

report() {  # label plugin-times lftp-times curl-times
  awk -v l="$1" -v n="$files" -v p="$(best $2)" -v pm="$(median $2)" -v lb="$(best $3)" -v lm="$(median $3)" \
    -v cb="$(best $4)" -v cm="$(median $4)" 'BEGIN {
    printf "%-14s plug-in %6.2f s (%5.0f files/s)  lftp %6.2f s  curl %6.2f s  ratio to lftp %.2f  ratio to curl %.2f\n",
      l, p, n / p, lb, cb, lb / p, cb / p
    printf "%-14s   medians: plug-in %6.2f s  lftp %6.2f s  curl %6.2f s\n", "", pm, lm, cm }'
}

for proto in ftp sftp; do
  for direction in upload download; do
    plugin_times="" lftp_times="" curl_times=""
    for ((i = 1; i <= runs; i++)); do
      for tool in plugin lftp curl; do
        if [ $direction = upload ]; then
          target="$tool-up"
          if [ $tool = curl ]; then target=curl-up; fi
          t=$(timed "${tool}_upload" $proto "$target")
          same_tree "$remote_dir/$target" "$proto $tool upload"
          rm -rf "$remote_dir/$target"
        else
          target="$work/down"
          rm -rf "$target"
          t=$(timed "${tool}_download" $proto "$target")
          same_tree "$target" "$proto $tool download"
        fi
        eval "${tool}_times+=\" $t\""
      done
    done
    report "$proto $direction" "$plugin_times" "$lftp_times" "$curl_times"
  done
done
echo "tree: $files files of $file_kb KiB in $folders folders on $storage at both ends, $runs runs each;" \
  "ratios from the fastest runs" \
  "(plug-in throughput / other tool's)"
