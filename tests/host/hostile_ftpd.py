#!/usr/bin/python3
"""A small FTP server that misbehaves on demand. Serves ROOT on 127.0.0.1; prints its port, then
runs until killed. Usage: hostile_ftpd.py ROOT USER PASSWORD ABSOLUTE_NAME [IDLE_SECONDS]
- the listings of the folder "top" (and of "top/sub") name items that lead out of the folder a
  client downloads into;
- the listing of any folder named "loop" names a folder "loop" again, without end;
- the listing of a folder named "endless", and the file "endless.txt", never end;
- the file "stall.bin" opens its data connection and then sends nothing, ever;
- with IDLE_SECONDS, a control connection idle that long is closed with "421"."""
import os
import sys
import warnings

warnings.simplefilter("ignore", DeprecationWarning)

from pyftpdlib.authorizers import DummyAuthorizer  # noqa: E402
from pyftpdlib.handlers import FTPHandler  # noqa: E402
from pyftpdlib.servers import FTPServer  # noqa: E402

ROOT, USER, PASSWORD, ABSOLUTE = sys.argv[1:5]
IDLE = int(sys.argv[5]) if len(sys.argv) > 5 else 0


def line(kind, name, size=5):
    mode = "drwxr-xr-x" if kind == "d" else "-rw-r--r--"
    return "%s 1 owner group %d Jan 01  2020 %s\r\n" % (mode, size, name)


LISTINGS = {
    "top": [line("d", "."), line("d", ".."), line("-", "good.txt"), line("-", "../escape.txt"),
            line("-", "a/b.txt"), line("-", "a\\b.txt"), line("-", ABSOLUTE), line("-", ".."),
            line("d", "sub"), line("d", "../updir"), line("d", "x/../../../updir2")],
    "sub": [line("-", "inner.txt"), line("-", "../../escape2.txt"), line("d", "..")],
    "loop": [line("d", "loop"), line("-", "f.txt")],
}


class Endless:
    """A producer of text lines that never runs out."""

    def __init__(self, text):
        self.chunk = (text * (65536 // len(text))).encode("utf-8")

    def more(self):
        return self.chunk


class HostileHandler(FTPHandler):
    proto_cmds = {k: v for k, v in FTPHandler.proto_cmds.items() if k not in ("MLSD", "MLST")}
    permit_foreign_addresses = False

    def ftp_CWD(self, path):
        # Into a "loop" that is not on disk: stay where the listing of "loop" is.
        if os.path.basename(os.path.normpath(path)) == "loop" and not os.path.isdir(path):
            self.respond('250 "%s" is the current directory.' % self.fs.fs2ftp(path))
            return path
        return FTPHandler.ftp_CWD(self, path)

    def ftp_LIST(self, path):
        if os.path.basename(os.path.normpath(path)) == "endless":
            self.push_dtp_data(Endless(line("-", "again.txt")), isproducer=True, cmd="LIST")
            return path
        listing = LISTINGS.get(os.path.basename(os.path.normpath(path)))
        if listing is None:
            return FTPHandler.ftp_LIST(self, path)
        self.push_dtp_data("".join(listing).encode("utf-8"), isproducer=False, cmd="LIST")
        return path

    def ftp_SIZE(self, path):
        if not os.path.isfile(path):
            self.respond("213 5")
            return path
        return FTPHandler.ftp_SIZE(self, path)

    def ftp_RETR(self, file):
        name = os.path.basename(file)
        if name == "stall.bin":
            self.respond("150 Here it comes.")  # and then nothing
            return file
        if name == "endless.txt":
            self.push_dtp_data(Endless("a line of text\r\n"), isproducer=True, cmd="RETR")
            return file
        # Any listed name can be fetched: a client that asks for a hostile one gets data to write.
        if not os.path.isfile(file):
            self.push_dtp_data(b"evil\n", isproducer=False, cmd="RETR")
            return file
        return FTPHandler.ftp_RETR(self, file)


def main():
    authorizer = DummyAuthorizer()
    authorizer.add_user(USER, PASSWORD, ROOT, perm="elr")
    HostileHandler.authorizer = authorizer
    if IDLE:
        HostileHandler.timeout = IDLE
    server = FTPServer(("127.0.0.1", 0), HostileHandler)
    print(server.socket.getsockname()[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
