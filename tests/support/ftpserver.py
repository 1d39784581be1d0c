#!/usr/bin/env python3
"""The tests' FTP server: pyftpdlib on 127.0.0.1, a free port, one user with full rights.
Prints "PORT <n>" first; ends when its standard input closes.

--log FILE        appends every command the server receives ("USER", "STOR name", ...) to FILE,
                  one per line (PASS is logged without its argument).
--drop-stor N     the first N uploads (STOR) are served; every later one truncates its target
                  file, as a server does when the upload begins, and then drops the connection
                  before any data arrives: a connection lost in the middle of an upload."""
import argparse
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--log")
    parser.add_argument("--drop-stor", type=int, default=-1)
    args = parser.parse_args()
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")
    lock = threading.Lock()
    stores = [0]

    class Handler(FTPHandler):
        def pre_process_command(self, line, cmd, arg):
            if args.log:
                with lock, open(args.log, "a", encoding="utf-8") as log:
                    log.write((cmd if cmd == "PASS" or not arg else cmd + " " + arg) + "\n")
            return super().pre_process_command(line, cmd, arg)

        def ftp_STOR(self, file, mode="w"):
            with lock:
                stores[0] += 1
                drop = 0 <= args.drop_stor < stores[0]
            if drop:
                open(file, "wb").close()
                self.close()
                return None
            return super().ftp_STOR(file, mode)

    Handler.authorizer = authorizer
    Handler.passive_ports = None
    server = FTPServer(("127.0.0.1", 0), Handler)
    print("PORT %d" % server.address[1], flush=True)
    threading.Thread(target=server.serve_forever, kwargs={"handle_exit": False}, daemon=True).start()
    sys.stdin.read()
    server.close_all()


if __name__ == "__main__":
    import logging
    logging.basicConfig(level=logging.ERROR)
    main()
