#!/usr/bin/env python3
"""HTTP server for the tests, on 127.0.0.1 only.

GET /<path>                    the file under --root, with Content-Length
GET /__chunked/<path>          the file, chunked (no Content-Length)
GET /__nolength/<path>         the file, HTTP/1.0 style: no Content-Length, closed at the end
GET /__status/<code>/<path>    the file (or a short page when it is missing) with that status
GET /__cut/<n>/<path>          the file's full Content-Length, but only n bytes, then close
GET /__stall                   accepts the request and answers nothing (closed after --stall-limit s)
GET /__slow/<ms>/<path>        the file in 64 KiB pieces with a pause of <ms> between them
GET /__headers                 the request's header lines as the body (text, with Content-Length)
GET /__redirect/<path>         302 to /<path>

The chosen port is written to --port-file once the server listens.
"""
import argparse
import os
import socket
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import unquote

ROOT = "."
STALL_LIMIT = 90.0


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        pass

    def _file(self, rel):
        path = os.path.realpath(os.path.join(ROOT, unquote(rel).lstrip("/")))
        if not path.startswith(os.path.realpath(ROOT)) or not os.path.isfile(path):
            return None
        return path

    def _send_body(self, code, body, length=True, close=False):
        self.send_response(code)
        self.send_header("Content-Type", "application/octet-stream")
        if length:
            self.send_header("Content-Length", str(len(body)))
        if close:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()
        self.wfile.write(body)

    def _stream_file(self, path, piece=65536, pause=0.0):
        with open(path, "rb") as f:
            while True:
                chunk = f.read(piece)
                if not chunk:
                    return
                self.wfile.write(chunk)
                if pause:
                    self.wfile.flush()
                    time.sleep(pause)

    def do_GET(self):
        parts = self.path.split("/", 3)
        mode = parts[1] if len(parts) > 1 else ""
        if mode == "__stall":
            deadline = time.time() + STALL_LIMIT
            while time.time() < deadline:
                time.sleep(0.2)
            self.close_connection = True
            return
        if mode == "__headers":
            return self._send_body(200, str(self.headers).encode("utf-8", "replace"))
        if mode == "__redirect":
            target = "/" + "/".join(parts[2:])
            self.send_response(302)
            self.send_header("Location", target)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if mode == "__status":
            code = int(parts[2])
            path = self._file(parts[3] if len(parts) > 3 else "")
            body = open(path, "rb").read() if path else (
                "<html><body>Error %d</body></html>" % code).encode()
            self._send_body(code, body)
            return
        if mode == "__chunked":
            path = self._file("/".join(parts[2:]))
            if not path:
                return self._send_body(404, b"not found")
            self.send_response(200)
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            with open(path, "rb") as f:
                while True:
                    chunk = f.read(10000)
                    if not chunk:
                        break
                    self.wfile.write(b"%x\r\n%s\r\n" % (len(chunk), chunk))
            self.wfile.write(b"0\r\n\r\n")
            return
        if mode == "__nolength":
            path = self._file("/".join(parts[2:]))
            if not path:
                return self._send_body(404, b"not found")
            self.send_response(200)
            self.send_header("Connection", "close")
            self.end_headers()
            self.close_connection = True
            self._stream_file(path)
            return
        if mode == "__cut":
            n = int(parts[2])
            path = self._file(parts[3] if len(parts) > 3 else "")
            if not path:
                return self._send_body(404, b"not found")
            body = open(path, "rb").read()
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(body[:n])
            self.wfile.flush()
            self.close_connection = True
            try:
                self.connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
            return
        if mode == "__slow":
            pause = int(parts[2]) / 1000.0
            path = self._file(parts[3] if len(parts) > 3 else "")
            if not path:
                return self._send_body(404, b"not found")
            self.send_response(200)
            self.send_header("Content-Length", str(os.path.getsize(path)))
            self.end_headers()
            self._stream_file(path, pause=pause)
            return
        path = self._file(self.path.split("?", 1)[0])
        if not path:
            return self._send_body(404, b"<html><body>Not found</body></html>")
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(os.path.getsize(path)))
        self.end_headers()
        self._stream_file(path)


def main():
    global ROOT, STALL_LIMIT
    ap = argparse.ArgumentParser()
    ap.add_argument("--root", required=True)
    ap.add_argument("--port", type=int, default=0)
    ap.add_argument("--port-file")
    ap.add_argument("--stall-limit", type=float, default=90.0)
    args = ap.parse_args()
    ROOT = args.root
    STALL_LIMIT = args.stall_limit
    server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    if args.port_file:
        tmp = args.port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write(str(server.server_address[1]))
        os.replace(tmp, args.port_file)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
