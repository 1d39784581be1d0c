#!/usr/bin/env python3
"""A small HTTP server for the tests, bound to 127.0.0.1 on a free port.

Prints "PORT <n>" on its first line of standard output, then serves files of --root:
  /NAME                    the file, with Content-Length and byte ranges; a folder
                           gives its index.html
  /slow/NAME?chunk=N&delay=S   the file with Content-Length, sent N bytes every S seconds
  /nolength/NAME?chunk=N&delay=S   the file without Content-Length (ends by closing)
  /redirect/NAME           302 to /NAME
  /wait/S/NAME             /NAME after S seconds
  /get/NAME                /NAME, only for a request whose Referer ends in "/public/NAME"
                           (the query included); 403 otherwise
  /status/CODE             an empty answer with that status
  /_requests               one line per earlier request: method, path, User-Agent, Range
Ends on SIGTERM or when its standard input closes.
"""
import argparse
import os
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

REQUESTS = []
LOCK = threading.Lock()


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    root = "."

    def log_message(self, fmt, *args):
        pass

    def _record(self):
        with LOCK:
            REQUESTS.append("%s %s %s %s" % (self.command, self.path,
                                             self.headers.get("User-Agent", ""),
                                             self.headers.get("Range", "")))

    def _file(self, name):
        path = os.path.realpath(os.path.join(self.root, urllib.parse.unquote(name)))
        if os.path.isdir(path):
            path = os.path.join(path, "index.html")
        if not path.startswith(os.path.realpath(self.root)) or not os.path.isfile(path):
            return None
        with open(path, "rb") as f:
            return f.read()

    def _send_body(self, data, chunk, delay):
        try:
            for i in range(0, len(data), chunk):
                self.wfile.write(data[i:i + chunk])
                self.wfile.flush()
                if delay:
                    time.sleep(delay)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def do_HEAD(self):
        self.do_GET(head=True)

    def do_GET(self, head=False):
        self._record()
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query)
        chunk = int(query.get("chunk", ["65536"])[0])
        delay = float(query.get("delay", ["0"])[0])
        parts = url.path.lstrip("/").split("/", 1)
        kind, rest = (parts[0], parts[1]) if len(parts) == 2 else ("", parts[0])

        if url.path == "/_requests":
            with LOCK:
                body = ("\n".join(REQUESTS) + "\n").encode()
            return self._plain(200, body, head)
        if kind == "status":
            return self._plain(int(rest), b"", head)
        if kind == "wait":
            seconds, _, rest = rest.partition("/")
            time.sleep(float(seconds))
        if kind == "get":
            item = self.path[len("/get/"):]
            if not self.headers.get("Referer", "").endswith("/public/" + item):
                return self._plain(403, b"no referer", head)
        if kind == "redirect":
            self.send_response(302)
            self.send_header("Location", "/" + rest)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if kind not in ("slow", "nolength", "wait", "get"):
            rest = url.path.lstrip("/")
        data = self._file(rest)
        if data is None:
            return self._plain(404, b"not found", head)

        if kind == "nolength":
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Connection", "close")
            self.end_headers()
            self.close_connection = True
            if not head:
                self._send_body(data, chunk, delay)
            return

        start, end, status = 0, len(data) - 1, 200
        rng = self.headers.get("Range")
        if rng and rng.startswith("bytes=") and kind == "":
            first, _, last = rng[6:].partition("-")
            start = int(first) if first else 0
            end = int(last) if last else len(data) - 1
            if start >= len(data):
                self.send_response(416)
                self.send_header("Content-Range", "bytes */%d" % len(data))
                self.send_header("Content-Length", "0")
                self.end_headers()
                return
            end = min(end, len(data) - 1)
            status = 206
        body = data[start:end + 1]
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Accept-Ranges", "bytes")
        self.send_header("Content-Length", str(len(body)))
        if status == 206:
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, end, len(data)))
        self.end_headers()
        if not head:
            self._send_body(body, chunk, delay)

    def _plain(self, code, body, head):
        self.send_response(code)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if not head:
            self.wfile.write(body)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", default=".")
    args = parser.parse_args()
    Handler.root = args.root
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    print("PORT %d" % server.server_address[1], flush=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        sys.stdin.read()  # the test closes our input (or kills us) to stop the server
    except KeyboardInterrupt:
        pass
    server.shutdown()


if __name__ == "__main__":
    main()
