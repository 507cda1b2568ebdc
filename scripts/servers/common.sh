# shellcheck shell=bash disable=SC2034 # the settings here are used by the scripts that source it
# Settings and helpers shared by the test-server scripts (start, stop, check).
# Sourced, not run. Every setting can be overridden from the environment.

SERVERS_SCRIPT_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Ports stay below Linux's ephemeral range (32768+) so client sockets never take them,
# and away from 2024, which something else holds on the development machines.
: "${VOLAN_FTP_PORT:=20021}"           # ProFTPD: plain FTP, explicit TLS (AUTH TLS) allowed
: "${VOLAN_FTPS_PORT:=20990}"          # ProFTPD: implicit TLS
: "${VOLAN_FTP_LIST_PORT:=20121}"      # pyftpdlib: plain FTP without MLSD/MLST
: "${VOLAN_SFTP_PORT:=20022}"          # OpenSSH: SFTP only
: "${VOLAN_SFTP_KEYONLY_PORT:=20023}"  # the same sshd: public-key login only
: "${VOLAN_FTP2_PORT:=20031}"          # vsftpd: explicit TLS required for login and data
: "${VOLAN_FTP3_PORT:=20041}"          # Pure-FTPd: plain FTP, explicit TLS allowed, MLSD
: "${VOLAN_SFTP2_PORT:=20032}"         # ProFTPD mod_sftp: a second SFTP server
: "${VOLAN_FTP_PASV_MIN:=20200}"       # ProFTPD passive data ports (both listeners)
: "${VOLAN_FTP_PASV_MAX:=20249}"
: "${VOLAN_FTP_LIST_PASV_MIN:=20250}"  # pyftpdlib passive data ports
: "${VOLAN_FTP_LIST_PASV_MAX:=20299}"
: "${VOLAN_FTP2_PASV_MIN:=20300}"      # vsftpd passive data ports
: "${VOLAN_FTP2_PASV_MAX:=20349}"
: "${VOLAN_FTP3_PASV_MIN:=20350}"      # Pure-FTPd passive data ports
: "${VOLAN_FTP3_PASV_MAX:=20399}"
: "${VOLAN_FTP_TLS_PROTOCOLS:=TLSv1.2}" # ProFTPD's TLSProtocol (see start for why not 1.3)
: "${VOLAN_TEST_USER:=volantest}"
: "${VOLAN_TEST_PASSWORD:=volan-test-pass}"
: "${VOLAN_SFTP_KEY_PASSPHRASE:=volan-key-pass}" # of the passphrase-protected user keys

VOLAN_TEST_HOST=127.0.0.1
VOLAN_TEST_HOST6=::1

# The interpreter that has pyftpdlib (a pyenv or venv python3 earlier in PATH may not).
SERVERS_PYTHON=/usr/bin/python3

servers_die() {
  echo "servers: $*" >&2
  exit 1
}

servers_log() {
  echo "servers: $*"
}

# Sets STATE and the folders inside it from the first argument or VOLAN_SERVERS_STATE.
# The path ends up inside socat and sshd arguments, so it is kept to plain characters.
servers_set_paths() {
  STATE=${1:-${VOLAN_SERVERS_STATE:-/tmp/volan-servers}}
  [[ $STATE == /* ]] || STATE="$PWD/$STATE"
  STATE=${STATE%/}
  [[ $STATE =~ ^[A-Za-z0-9._/-]+$ ]] ||
    servers_die "state folder '$STATE' must contain only letters, digits and . _ / -"
  # A second state folder beside the usual one must serve the usual home: the test user is one
  # system account, and its home is where every server logs it in.
  HOME_DIR=${VOLAN_SERVERS_HOME:-$STATE/home}
  ANON_DIR="$STATE/anon"
  CONF_DIR="$STATE/conf"
  RUN_DIR="$STATE/run"
  LOG_DIR="$STATE/log"
  TLS_DIR="$STATE/tls"
  SSH_DIR="$STATE/ssh"
  CA_FILE="$STATE/ca.crt"
  ENV_FILE="$STATE/servers.env"
  PKG_DIR="$STATE/pkg" # vsftpd and Pure-FTPd, unpacked from their Debian packages (see unpack)
  EMPTY_DIR="$STATE/empty"
}

# True when the loopback interface has ::1, so the IPv6 listeners can be started.
servers_have_ipv6() {
  grep -qi '^00000000000000000000000000000001 ' /proc/net/if_inet6 2>/dev/null
}

# True when something accepts TCP connections on host:port.
servers_port_open() {
  local host=$1 port=$2
  (exec 3<>"/dev/tcp/$host/$port") 2>/dev/null
}

# Re-runs the calling script as root through sudo: the servers bind as root, switch to the
# test user per session, and the script creates that user.
servers_need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || servers_die "must run as root (no sudo found)"
    exec sudo --preserve-env "$0" "$@"
  fi
}

# Prints field N (1-based, as in proc(5)) of /proc/PID/stat; fails when the process is gone.
# The command name (field 2) may hold blanks, so fields are counted after its closing ')'.
servers_proc_field() {
  local pid=$1 n=$2 line
  { read -r line <"/proc/$pid/stat"; } 2>/dev/null || return 1
  local -a rest
  read -r -a rest <<<"${line##*) }"
  echo "${rest[n - 3]}"
}

# The start time of a process: with its PID it names one process even after PIDs wrap.
servers_proc_start_time() {
  servers_proc_field "$1" 22
}
