#!/usr/bin/env bash
# Uploads and downloads a tree of many small files over FTP, explicit FTPS and SFTP on loopback,
# through the plug-in in volan-host (Volan_UploadDir / Volan_DownloadDir), through `lftp mirror`
# (one connection) and through one curl process that reuses one connection for every file. The
# tools take turns, several runs each. Prints the fastest and the median time of each, the
# files per second, and the plug-in's throughput as a share of each other tool's (above 1 is
# faster). Every copy is compared with the original tree.
#
# curl spends most of a second on each explicit-FTPS file (libcurl 7.88's waits between steps):
# over FTPS it moves only the first CURL_FTPS_FILES files of the tree, and its time is scaled up
# to the whole tree from those.
#
#   bench/dirtransfers.sh [BUILD_DIR]   (FILES=2000 FOLDERS=10 FILE_KB=4 RUNS=3 TMPFS=1
#                                        PROTOCOLS="ftp ftps sftp" CURL_FTPS_FILES=40 by default;
#                                        the test servers must run: scripts/servers/start)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
files="${FILES:-2000}"
folders="${FOLDERS:-10}"
file_kb="${FILE_KB:-4}"
runs="${RUNS:-3}"
protocols="${PROTOCOLS:-ftp ftps sftp}"
curl_ftps_files="${CURL_FTPS_FILES:-40}"
bench=dirtransfers
# shellcheck source=bench/common.sh
. "$root/bench/common.sh"
command -v lftp >/dev/null || { echo "dirtransfers: lftp is missing (scripts/install-deps)" >&2; exit 2; }
bench_folders "$((files * file_kb * 4 / 1024 + 64))"
bench_tree "$files" "$folders" "$file_kb"

bench_account dirtransfers-ftp None "$VOLAN_FTP_PORT"
bench_account dirtransfers-ftps "AUTH TLS" "$VOLAN_FTP_PORT"
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

# lftp: one connection, no parallel transfers. FTPS protects the data connections too and
# trusts the test CA. SFTP runs over OpenSSH's ssh, told to trust the test host key from the
# servers' known-hosts file.
lftp_run() {  # proto commands
  local url tls="set ftp:ssl-allow no;"
  if [ "$1" = sftp ]; then url="sftp://$VOLAN_TEST_HOST:$VOLAN_SFTP_PORT"; else url="ftp://$VOLAN_TEST_HOST:$VOLAN_FTP_PORT"; fi
  [ "$1" = ftps ] && tls="set ftp:ssl-force yes; set ftp:ssl-protect-data yes; set ssl:ca-file $VOLAN_CA_FILE;"
  lftp -u "$VOLAN_TEST_USER,$VOLAN_TEST_PASSWORD" \
    -e "$tls set net:max-retries 1; set cmd:fail-exit yes; \
set sftp:connect-program 'ssh -a -x -o UserKnownHostsFile=$VOLAN_SFTP_KNOWN_HOSTS -o StrictHostKeyChecking=yes'; \
$2; quit" "$url"
}
lftp_upload() { lftp_run "$1" "mirror -R --parallel=1 --no-perms '$work/tree' '$remote_dir/$2'"; }
lftp_download() { lftp_run "$1" "mirror --parallel=1 --no-perms '$remote_dir/source' '$2'"; }

# curl: one process given every file in a config file, so it keeps one connection open.
curl_url() {  # proto path-below-the-home
  local path=${2// /%20}
  if [ "$1" = sftp ]; then echo "sftp://$VOLAN_TEST_HOST:$VOLAN_SFTP_PORT/~/$name/$path"; else
    echo "ftp://$VOLAN_TEST_HOST:$VOLAN_FTP_PORT/$name/$path"
  fi
}
curl_files() {  # proto: how many of the tree's files curl moves
  if [ "$1" = ftps ] && [ "$curl_ftps_files" -lt "$files" ]; then echo "$curl_ftps_files"; else echo "$files"; fi
}
tree_files() {  # count: the first COUNT files of the tree, relative paths in order
  (cd "$work/tree" && find . -type f | sort | awk -v n="$1" 'NR <= n { sub(/^\.\//, ""); print }')
}
# same_files FOLDER COUNT WHAT: the first COUNT files of the tree arrived in FOLDER, byte for byte.
same_files() {
  tree_files "$2" | while read -r rel; do
    cmp -s "$work/tree/$rel" "$1/$rel" || { echo "$bench: $3 differs from the original ($rel)" >&2; exit 1; }
  done
}
curl_config() {  # proto direction target
  local rel
  echo "user = \"$VOLAN_TEST_USER:$VOLAN_TEST_PASSWORD\""
  echo "silent"
  echo "show-error"
  [ "$1" = sftp ] && echo "hostpubsha256 = \"$VOLAN_SFTP_HOST_KEY_SHA256\""
  [ "$1" = ftps ] && printf 'ssl-reqd\ncacert = "%s"\n' "$VOLAN_CA_FILE"
  if [ "$2" = upload ]; then echo "ftp-create-dirs"; else echo "create-dirs"; fi
  tree_files "$(curl_files "$1")" | while read -r rel; do
    if [ "$2" = upload ]; then
      echo "upload-file = \"$work/tree/$rel\""
      echo "url = \"$(curl_url "$1" "$3/$rel")\""
    else
      echo "url = \"$(curl_url "$1" "source/$rel")\""
      echo "output = \"$3/$rel\""
    fi
  done
}
for proto in $protocols; do
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

for proto in $protocols; do
  for direction in upload download; do
    plugin_times="" lftp_times="" curl_times=""
    for ((i = 1; i <= runs; i++)); do
      for tool in plugin lftp curl; do
        if [ $direction = upload ]; then
          target="$tool-up"
          if [ $tool = curl ]; then target=curl-up; fi
          t=$(timed "${tool}_upload" $proto "$target")
          copy="$remote_dir/$target"
        else
          target="$work/down"
          rm -rf "$target"
          t=$(timed "${tool}_download" $proto "$target")
          copy=$target
        fi
        if [ $tool = curl ] && [ "$(curl_files $proto)" -lt "$files" ]; then
          same_files "$copy" "$(curl_files $proto)" "$proto curl $direction"
          t=$(awk -v t="$t" -v n="$files" -v m="$(curl_files $proto)" 'BEGIN { printf "%.3f", t * n / m }')
        else
          same_tree "$copy" "$proto $tool $direction"
        fi
        [ $direction = upload ] && rm -rf "$copy"
        eval "${tool}_times+=\" $t\""
      done
    done
    report "$proto $direction" "$plugin_times" "$lftp_times" "$curl_times"
  done
done
case " $protocols " in *" ftps "*) [ "$curl_ftps_files" -lt "$files" ] &&
  echo "ftps: curl's times are scaled up from its first $curl_ftps_files files" ;; esac
echo "tree: $files files of $file_kb KiB in $folders folders on $storage at both ends, $runs runs each;" \
  "ratios from the fastest runs" \
  "(plug-in throughput / other tool's)"
