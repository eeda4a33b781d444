#!/usr/bin/env python3
"""HTTP server for the tests, on 127.0.0.1 only.

GET /<path>                    the file under --root, with Content-Length
GET /__chunked/<path>          the file, chunked (no Content-Length)
GET /__nolength/<path>         the file, HTTP/1.0 style: no Content-Length, closed at the end
GET /__status/<code>/<path>    the file (or a short page when it is missing) with that status
GET /__cut/<n>/<path>          the file's full Content-Length, but only n bytes, then close
GET /__stall                   accepts the request and answers nothing (closed after --stall-limit s)
GET /__headers                 the request's header lines as the body (text, with Content-Length)
GET /__redirect/<path>         302 to /<path>
GET /__redirects/<k>/<path>    k redirects, by turns an absolute address and an absolute path, then /<path>
GET /__loop/<n>                302 to the relative "<n+1>", for ever
GET /__length/<v>/<n>/<path>   Content-Length: <v> as written ("+" between values: one line each),
                               then the file's first n bytes, then close
GET /__chunkcut/<n>/<path>     the file in chunks of 10,000 bytes, but only its first n bytes (inside a
                               chunk when n is not a multiple) and no last chunk, then close
GET /__paced/<n>/<ms>/<path>   the file <n> bytes at a time, <ms> apart, with its Content-Length

A plain file <path> with a file <path>.__mode beside it is served as a server on a poor
network would, whatever address asks for it (the utility's built-in ones too). The mode
file holds words, any of:
  cut-once <percent>     the first answer sends its full Content-Length, but only that part
                         of the file, then closes
  cut-always <percent>   every answer sends only that part of what it announces
  ignore-range           never a 206: every answer is the whole file with 200
  hold-head <seconds>    each answer's head waits that long before it goes out
Such a file gets a strong ETag and Last-Modified, and a "Range: bytes=<n>-" whose If-Range,
if any, matches one of them gets a 206 of the rest. Every request for it appends a line
"<Range or -> <If-Range or ->" to <path>.__seen.

The chosen port is written to --port-file once the server listens. With --tls-cert and
--tls-key it speaks HTTPS, presenting that certificate file (the server's certificate,
then any chain it sends); with --redirect-to-http <port> it answers every GET with a 302
to the same path on http://127.0.0.1:<port>. With --sign-key <private.pem> a GET of
/<path>.sig that no file under --root answers is the DER signature (openssl dgst -sha256
-sign) of /<path>.signed when that file is there (what the vendor signed before the file
was changed), else of /<path>; 404 when neither is there.
"""
import argparse
import os
import socket
import ssl
import subprocess
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import unquote

ROOT = "."
STALL_LIMIT = 90.0
REDIRECT_TO_HTTP = None
SIGN_KEY = None
SEEN_LOCK = threading.Lock()


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

    def _begin_file(self, rel, headers=(), length=False):
        """The path of the file <rel> once a 200 with its Content-Length (when `length`)
        and `headers` has gone out for it; None once a 404 has, when there is no such file."""
        path = self._file(rel)
        if not path:
            self._send_body(404, b"not found")
            return None
        self.send_response(200)
        if length:
            self.send_header("Content-Length", str(os.path.getsize(path)))
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        return path

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
        if REDIRECT_TO_HTTP:
            return self._redirect("http://127.0.0.1:%d%s" % (REDIRECT_TO_HTTP, self.path))
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
            return self._redirect("/" + "/".join(parts[2:]))
        if mode == "__redirects":
            k = int(parts[2])
            rest = parts[3] if len(parts) > 3 else ""
            if k == 0:
                return self._serve_file(rest)
            target = "/__redirects/%d/%s" % (k - 1, rest)
            if k % 2:
                target = "http://%s%s" % (self.headers.get("Host", "127.0.0.1"), target)
            return self._redirect(target)
        if mode == "__loop":
            return self._redirect(str(int(parts[2]) + 1))
        if mode == "__length":
            rest = self.path.split("/", 4)
            lengths = [("Content-Length", value) for value in unquote(rest[2]).split("+")]
            path = self._begin_file(rest[4] if len(rest) > 4 else "", lengths + [("Connection", "close")])
            if not path:
                return
            self.wfile.write(open(path, "rb").read()[: int(rest[3])])
            return self._hang_up()
        if mode == "__chunkcut":
            n = int(parts[2])
            path = self._begin_file(parts[3] if len(parts) > 3 else "",
                                    [("Transfer-Encoding", "chunked"), ("Connection", "close")])
            if not path:
                return
            body = open(path, "rb").read()
            for at in range(0, n, 10000):
                chunk = body[at:at + 10000]
                sent = chunk[:n - at]
                self.wfile.write(b"%x\r\n%s" % (len(chunk), sent))
                if len(sent) == len(chunk):
                    self.wfile.write(b"\r\n")
            return self._hang_up()
        if mode == "__paced":
            rest = self.path.split("/", 4)
            piece, pause = int(rest[2]), int(rest[3]) / 1000.0
            path = self._begin_file(rest[4] if len(rest) > 4 else "", length=True)
            if not path:
                return
            try:
                self._stream_file(path, piece=piece, pause=pause)
            except OSError:
                self.close_connection = True  # the client gave up, as it may
            return
        if mode == "__status":
            code = int(parts[2])
            path = self._file(parts[3] if len(parts) > 3 else "")
            body = open(path, "rb").read() if path else (
                "<html><body>Error %d</body></html>" % code).encode()
            self._send_body(code, body)
            return
        if mode == "__chunked":
            path = self._begin_file("/".join(parts[2:]), [("Transfer-Encoding", "chunked")])
            if not path:
                return
            with open(path, "rb") as f:
                while True:
                    chunk = f.read(10000)
                    if not chunk:
                        break
                    self.wfile.write(b"%x\r\n%s\r\n" % (len(chunk), chunk))
            self.wfile.write(b"0\r\n\r\n")
            return
        if mode == "__nolength":
            path = self._begin_file("/".join(parts[2:]), [("Connection", "close")])
            if not path:
                return
            self.close_connection = True
            self._stream_file(path)
            return
        if mode == "__cut":
            n = int(parts[2])
            path = self._begin_file(parts[3] if len(parts) > 3 else "", [("Connection", "close")], length=True)
            if not path:
                return
            self.wfile.write(open(path, "rb").read()[:n])
            return self._hang_up()
        self._serve_file(self.path)

    def _signature(self, rel):
        signed = self._file(rel[:-len(".sig")] + ".signed") or self._file(rel[:-len(".sig")])
        if not signed:
            return None
        return subprocess.run(["openssl", "dgst", "-sha256", "-sign", SIGN_KEY, signed],
                              check=True, capture_output=True).stdout

    def _serve_file(self, rel):
        rel = rel.split("?", 1)[0]
        path = self._file(rel)
        if not path and SIGN_KEY and rel.endswith(".sig"):
            signature = self._signature(rel)
            if signature is not None:
                return self._send_body(200, signature)
        if not path:
            return self._send_body(404, b"<html><body>Not found</body></html>")
        if os.path.isfile(path + ".__mode"):
            return self._serve_poorly(path)
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(os.path.getsize(path)))
        self.end_headers()
        self._stream_file(path)

    def _serve_poorly(self, path):
        with open(path + ".__mode") as f:
            words = f.read().split()
        size = os.path.getsize(path)
        mtime = int(os.path.getmtime(path))
        etag = '"%x-%x"' % (size, mtime)
        modified = time.strftime("%a, %d %b %Y %H:%M:%S GMT", time.gmtime(mtime))
        asked = self.headers.get("Range")
        if_range = self.headers.get("If-Range")
        with SEEN_LOCK:
            with open(path + ".__seen", "a") as f:
                f.write("%s %s\n" % (asked or "-", if_range or "-"))
            with open(path + ".__seen") as f:
                seen = sum(1 for _ in f)
        if "hold-head" in words:
            time.sleep(float(words[words.index("hold-head") + 1]))
        first = 0
        if (asked and asked.startswith("bytes=") and asked.endswith("-") and "ignore-range" not in words
                and if_range in (None, etag, modified)):
            first = min(int(asked[6:-1]), size)
        send = size - first
        if "cut-always" in words:
            cut = send * int(words[words.index("cut-always") + 1]) // 100
        elif "cut-once" in words and seen == 1:
            cut = send * int(words[words.index("cut-once") + 1]) // 100
        else:
            cut = send
        self.send_response(206 if first else 200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(send))
        if first:
            self.send_header("Content-Range", "bytes %d-%d/%d" % (first, size - 1, size))
        self.send_header("ETag", etag)
        self.send_header("Last-Modified", modified)
        if cut < send:
            self.send_header("Connection", "close")
        self.end_headers()
        with open(path, "rb") as f:
            f.seek(first)
            left = cut
            while left > 0:
                chunk = f.read(min(65536, left))
                if not chunk:
                    break
                self.wfile.write(chunk)
                left -= len(chunk)
        if cut < send:
            self._hang_up()

    def _redirect(self, target):
        self.send_response(302)
        self.send_header("Location", target)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def _hang_up(self):
        self.wfile.flush()
        self.close_connection = True
        try:
            self.connection.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass


def main():
    global ROOT, STALL_LIMIT, REDIRECT_TO_HTTP, SIGN_KEY
    ap = argparse.ArgumentParser()
    ap.add_argument("--root", required=True)
    ap.add_argument("--port", type=int, default=0)
    ap.add_argument("--port-file")
    ap.add_argument("--stall-limit", type=float, default=90.0)
    ap.add_argument("--tls-cert")
    ap.add_argument("--tls-key")
    ap.add_argument("--redirect-to-http", type=int)
    ap.add_argument("--sign-key")
    args = ap.parse_args()
    SIGN_KEY = args.sign_key
    ROOT = args.root
    STALL_LIMIT = args.stall_limit
    REDIRECT_TO_HTTP = args.redirect_to_http
    server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    if args.tls_cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.tls_cert, args.tls_key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
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
