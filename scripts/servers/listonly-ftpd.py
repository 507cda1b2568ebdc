#!/usr/bin/python3
"""FTP server without MLSD/MLST, so clients must fall back to LIST listings.

Started by scripts/servers/start as the test user; serves the real file system with the
login folder as entry path (no virtual chroot), like the other test servers.
Settings come from the environment: VOLAN_TEST_USER, VOLAN_TEST_PASSWORD, VOLAN_TEST_HOME,
VOLAN_FTP_LIST_PORT, VOLAN_FTP_LIST_PASV_MIN/MAX, and LISTEN (comma-separated addresses).
"""
import logging
import os
import sys
import warnings

# pyftpdlib 1.5 sits on asyncore/asynchat, which Python 3.11 flags as deprecated.
warnings.simplefilter("ignore", DeprecationWarning)

from pyftpdlib.authorizers import DummyAuthorizer  # noqa: E402
from pyftpdlib.filesystems import UnixFilesystem  # noqa: E402
from pyftpdlib.handlers import FTPHandler  # noqa: E402
from pyftpdlib.servers import FTPServer  # noqa: E402


class ListOnlyHandler(FTPHandler):
    # FEAT announces MLST only when the command table has it, so dropping both commands
    # also removes the feature line; the server then answers them with 500.
    proto_cmds = {k: v for k, v in FTPHandler.proto_cmds.items() if k not in ("MLSD", "MLST")}
    banner = "Volan test FTP server (LIST only) ready."
    abstracted_fs = UnixFilesystem
    permit_foreign_addresses = False


def main():
    env = os.environ
    authorizer = DummyAuthorizer()
    # The process already runs as the test user, so the password is checked here and files
    # are created with that user's ownership, as on the other servers.
    authorizer.add_user(env["VOLAN_TEST_USER"], env["VOLAN_TEST_PASSWORD"],
                        env["VOLAN_TEST_HOME"], perm="elradfmwMT")
    ListOnlyHandler.authorizer = authorizer
    ListOnlyHandler.passive_ports = range(int(env["VOLAN_FTP_LIST_PASV_MIN"]),
                                          int(env["VOLAN_FTP_LIST_PASV_MAX"]) + 1)
    logging.basicConfig(stream=sys.stderr, level=logging.INFO,
                        format="%(asctime)s %(message)s")
    port = int(env["VOLAN_FTP_LIST_PORT"])
    servers = [FTPServer((addr, port), ListOnlyHandler) for addr in env["LISTEN"].split(",")]
    # All servers share the default I/O loop; running one serves them all.
    servers[0].serve_forever()


if __name__ == "__main__":
    main()
