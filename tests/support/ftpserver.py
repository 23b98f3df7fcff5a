#!/usr/bin/python3
"""A local FTP server for the update tests: the update server's login on a
folder of the test's choosing, on a free loopback port that it prints.

ftpserver.py ROOT [--size NAME=BYTES]... [--rate BYTES_PER_SECOND]

--size makes the server list NAME with another size than its content has;
--rate slows the transfers down so that a test can cancel one in the middle.
"""
import argparse
import os
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer

parser = argparse.ArgumentParser()
parser.add_argument("root")
parser.add_argument("--size", action="append", default=[])
parser.add_argument("--rate", type=int, default=0)
# The login's rights (pyftpdlib's letters): "er" may change folder but not list.
parser.add_argument("--perm", default="elr")
args = parser.parse_args()

sizes = {}
for entry in args.size:
    name, _, value = entry.partition("=")
    sizes[name] = int(value)


class ListedSizes(AbstractedFS):
    def getsize(self, path):
        return sizes.get(os.path.basename(path), super().getsize(path))


authorizer = DummyAuthorizer()
authorizer.add_user("mvlobe", "kobrawUXJ", args.root, perm=args.perm)
handler = FTPHandler
handler.authorizer = authorizer
handler.abstracted_fs = ListedSizes
handler.auth_failed_timeout = 0   # a wrong password is refused at once
handler.passive_ports = None
if args.rate > 0:
    dtp = ThrottledDTPHandler
    dtp.read_limit = args.rate
    handler.dtp_handler = dtp

server = FTPServer(("127.0.0.1", 0), handler)
print(server.address[1], flush=True)
sys.stdout.close()
server.serve_forever(handle_exit=True)
