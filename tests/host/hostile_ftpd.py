#!/usr/bin/python3
"""A small FTP server that misbehaves on demand. Serves ROOT on 127.0.0.1; prints its port, then
runs until killed. Usage: hostile_ftpd.py ROOT USER PASSWORD ABSOLUTE_NAME [IDLE_SECONDS]
- the listings of the folder "top" (and of "top/sub") name items that lead out of the folder a
  client downloads into;
- the listing of any folder named "loop" names a folder "loop" again, without end;
- the listing of a folder named "endless", and the file "endless.txt", never end;
- the file "stall.bin" opens its data connection and then sends nothing, ever;
- the file "cut.bin" sent from its start stops at its middle with "426"; sent from an offset (REST)
  it goes whole;
- the file "short.bin" goes only half, yet ends with "226" as if it had gone whole;
- FEAT lists HASH (SHA-256) and XSHA256; both give the file's true digest, but for "lying.bin" a
  wrong one;
- with IDLE_SECONDS, a control connection idle that long is closed with "421"."""
import hashlib
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


class Cut:
    """A producer that sends its bytes and then fails, which aborts the transfer (426)."""

    def __init__(self, data):
        self.data = data

    def more(self):
        if not self.data:
            raise IOError("cut off")
        data, self.data = self.data, b""
        return data


DIGEST_SYNTAX = dict(perm=None, auth=True, arg=True, help="Syntax: <SP> file-name (digest).")


class HostileHandler(FTPHandler):
    proto_cmds = {k: v for k, v in FTPHandler.proto_cmds.items() if k not in ("MLSD", "MLST")}
    proto_cmds.update({"HASH": DIGEST_SYNTAX, "XSHA256": DIGEST_SYNTAX})
    permit_foreign_addresses = False

    def __init__(self, *args, **kwargs):
        FTPHandler.__init__(self, *args, **kwargs)
        self._extra_feats = self._extra_feats + ["HASH SHA-256*", "XSHA256"]

    def _digest(self, line):
        path = self.fs.ftp2fs(line)
        with open(path, "rb") as f:
            digest = hashlib.sha256(f.read()).hexdigest()
        if os.path.basename(path) == "lying.bin":
            digest = hashlib.sha256(b"something else").hexdigest()
        return path, digest

    def ftp_HASH(self, line):
        try:
            path, digest = self._digest(line)
        except OSError:
            self.respond("550 No such file.")
            return
        self.respond("213 SHA-256 0-%d %s %s" % (os.path.getsize(path), digest, line))

    def ftp_XSHA256(self, line):
        try:
            self.respond("250 %s" % self._digest(line)[1].upper())
        except OSError:
            self.respond("550 No such file.")

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
        if name == "cut.bin" and not self._restart_position:
            with open(file, "rb") as f:
                data = f.read()
            self.push_dtp_data(Cut(data[: len(data) // 2]), isproducer=True, cmd="RETR")
            return file
        if name == "short.bin":
            with open(file, "rb") as f:
                data = f.read()
            self.push_dtp_data(data[: len(data) // 2], isproducer=False, cmd="RETR")
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
