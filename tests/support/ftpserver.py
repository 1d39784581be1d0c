#!/usr/bin/env python3
"""The tests' FTP server: pyftpdlib on 127.0.0.1, a free port, one user with full rights.
Prints "PORT <n>" first; ends when its standard input closes."""
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
    args = parser.parse_args()
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.passive_ports = None
    server = FTPServer(("127.0.0.1", 0), handler)
    print("PORT %d" % server.address[1], flush=True)
    threading.Thread(target=server.serve_forever, kwargs={"handle_exit": False}, daemon=True).start()
    sys.stdin.read()
    server.close_all()


if __name__ == "__main__":
    import logging
    logging.basicConfig(level=logging.ERROR)
    main()
