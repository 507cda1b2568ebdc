#!/usr/bin/env bash
# Uploads and downloads one large file over FTP, explicit FTPS and SFTP on loopback, through the plug-in in
# volan-host and through the curl command line, alternating, several runs each. Prints the
# fastest time of each, the plug-in's throughput as a share of curl's, and the plug-in's peak
# memory (maximum resident set of the volan-host process).
#
#   bench/transfers.sh [BUILD_DIR]    (SIZE_MB=1024 RUNS=5 TMPFS=1 PROTOCOLS="ftp ftps sftp" by
#                                      default; the test servers must run: scripts/servers/start)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
size_mb="${SIZE_MB:-1024}"
runs="${RUNS:-5}"
protocols="${PROTOCOLS:-ftp ftps sftp}"
bench=transfers
# shellcheck source=bench/common.sh
. "$root/bench/common.sh"
bench_folders "$((size_mb * 2 + 64))"
mkdir -p "$work/data"
head -c "${size_mb}M" /dev/urandom >"$work/data/big.bin"
cat "$work/data/big.bin" >/dev/null

# Runs volan-host on the expressions given; prints "seconds maxRSS_KiB" and fails on any ERROR.
plugin_run() {
  local out="$work/out.txt" start end
  start=$(seconds)
  /usr/bin/time -f '%M' -o "$work/rss" "$host" "$@" >"$out" 2>&1
  end=$(seconds)
  if grep -q 'ERROR\|^?' "$out"; then cat "$out" >&2; return 1; fi
  echo "$(elapsed "$start" "$end") $(cat "$work/rss")"
}

bench_account bench-ftp None "$VOLAN_FTP_PORT"
bench_account bench-ftps "AUTH TLS" "$VOLAN_FTP_PORT"
bench_account bench-sftp SSH "$VOLAN_SFTP_PORT"

ftp_url="ftp://$VOLAN_TEST_HOST:$VOLAN_FTP_PORT/$name"  # relative to the login folder
sftp_url="sftp://$VOLAN_TEST_HOST:$VOLAN_SFTP_PORT/~/$name"
curl_auth=(-s -S --user "$VOLAN_TEST_USER:$VOLAN_TEST_PASSWORD")
ssh_opts=(--hostpubsha256 "$VOLAN_SFTP_HOST_KEY_SHA256")
tls_opts=(--ssl-reqd --cacert "$VOLAN_CA_FILE")

report() {  # label curl-times plugin-times rss-values
  local label=$1 c p r
  c=$(best $2) p=$(best $3) r=$(printf '%s\n' $4 | sort -g | tail -n 1)
  awk -v l="$label" -v c="$c" -v p="$p" -v r="$r" -v mb="$size_mb" 'BEGIN {
    printf "%-15s curl %6.2f s  plug-in %6.2f s  ratio (plug-in throughput / curl) %.2f  plug-in peak memory %.1f MB\n",
      l, c, p, c / p, r / 1024 }'
}

for proto in $protocols; do
  case $proto in
    ftp) url=$ftp_url extra=() ;;
    ftps) url=$ftp_url extra=("${tls_opts[@]}") ;;
    *) url=$sftp_url extra=("${ssh_opts[@]}") ;;
  esac
  for direction in upload download; do
    curl_times="" plugin_times="" rss=""
    for ((i = 1; i <= runs; i++)); do
      rm -f "$work/data/down.bin"
      sync  # each run starts without the last one's dirty pages still being written out
      start=$(seconds)
      if [ $direction = upload ]; then
        curl "${curl_auth[@]}" "${extra[@]}" -T "$work/data/big.bin" "$url/curl.bin"
      else
        curl "${curl_auth[@]}" "${extra[@]}" -o "$work/data/down.bin" "$url/big.bin"
      fi
      end=$(seconds)
      curl_times+=" $(elapsed "$start" "$end")"
      rm -f "$work/data/down.bin"
      sync
      if [ $direction = upload ]; then
        read -r t m < <(plugin_run -e "Volan_Connect(\"bench-$proto\")" \
          -e "Volan_UploadFile(\"$work/data/big.bin\"; \"\"; \"$remote_dir/big.bin\")")
      else
        read -r t m < <(plugin_run -e "Volan_Connect(\"bench-$proto\")" \
          -e "Volan_DownloadFile(\"$remote_dir/big.bin\"; \"\"; \"$work/data/down.bin\")")
        cmp -s "$work/data/big.bin" "$work/data/down.bin" || { echo "transfers: download differs" >&2; exit 1; }
      fi
      plugin_times+=" $t" rss+=" $m"
    done
    report "$proto $direction" "$curl_times" "$plugin_times" "$rss"
  done
done
# What every plug-in run pays before its transfer: volan-host starting, loading the plug-in and
# its libraries, and logging in (a host that keeps the plug-in loaded pays only the login).
for proto in $protocols; do
  fixed=""
  for ((i = 1; i <= runs; i++)); do
    read -r t m < <(plugin_run -e "Volan_Connect(\"bench-$proto\")")
    fixed+=" $t"
  done
  echo "$proto: a volan-host run that only connects takes $(best $fixed) s (included in the plug-in times above)"
done
echo "file: ${size_mb} MiB on $storage at both ends, ${runs} runs each, fastest run shown"
