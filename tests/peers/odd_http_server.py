#!/usr/bin/env python3
"""A small HTTP/1.0 server for the HTTP client's tests, with the odd replies real servers
give now and then. It listens on 127.0.0.1 only, on a free port, and prints that port as
its first line. With --tls CERT KEY it speaks HTTPS. Every request's raw bytes are
appended to the --log file (one record per request: "<length>\\n<bytes>").

Paths:
  /ok/N          200, Content-Length, N bytes of a repeating pattern
  /nolen/N       200 without Content-Length, N bytes
  /met           200, the bytes of the file given by --met (application/octet-stream)
  /file/NAME     200, the bytes of NAME in --dir
  /gzfile/NAME   200 with "Content-Encoding: gzip", the bytes of NAME (already gzip) as
                 they are; 406 when the request does not accept gzip
  /404           404 Not Found with a small body
  /301           301 to /ok/10, no Content-Length
  /301cl0        301 to /ok/10 with Content-Length: 0
  /301abs        301 to the absolute URL of /ok/7 on this server
  /301rel        301 to ./ok/9 (relative)
  /to?URL        302 to URL (anything after the ?)
  /html          no header at all: "<HtMl>" first line, then a page
  /longline      a header line longer than 8192 bytes
  /silent        reads the request and sends nothing until the client goes
  /slow/N        header, then N pieces of 100 bytes, 0.2 s apart
  /loop/N        302 to /loop/N+1, forever
  /close         closes without answering
"""
import argparse
import os
import socket
import ssl
import sys
import threading
import time

PATTERN = bytes(range(256)) * 256


def body_of(n):
    out = bytearray()
    while len(out) < n:
        out += PATTERN[: n - len(out)]
    return bytes(out)


class Server:
    def __init__(self, args):
        self.args = args
        self.lock = threading.Lock()
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.sock.bind(("127.0.0.1", args.port))
        self.sock.listen(64)
        self.port = self.sock.getsockname()[1]
        self.ctx = None
        if args.tls:
            self.ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            self.ctx.load_cert_chain(args.tls[0], args.tls[1])

    def log(self, raw):
        if not self.args.log:
            return
        with self.lock:
            with open(self.args.log, "ab") as f:
                f.write(str(len(raw)).encode() + b"\n" + raw)

    def serve(self):
        while True:
            conn, _ = self.sock.accept()
            threading.Thread(target=self.handle, args=(conn,), daemon=True).start()

    def handle(self, conn):
        try:
            if self.ctx:
                conn.settimeout(10)
                conn = self.ctx.wrap_socket(conn, server_side=True)
            conn.settimeout(30)
            raw = b""
            while b"\r\n\r\n" not in raw and len(raw) < 65536:
                chunk = conn.recv(4096)
                if not chunk:
                    break
                raw += chunk
                if raw.startswith(b"\x16"):  # a TLS hello sent to plain HTTP
                    self.send(conn, b"HTTP/1.0 400 Bad Request\r\n\r\nThis is plain HTTP.")
                    return
            self.log(raw)
            line = raw.split(b"\r\n", 1)[0].decode("latin-1")
            parts = line.split(" ")
            target = parts[1] if len(parts) > 1 else "/"
            if "://" in target:  # the absolute form a proxy passes on
                rest = target.split("://", 1)[1]
                target = "/" + rest.split("/", 1)[1] if "/" in rest else "/"
            self.reply(conn, target, raw)
        except (OSError, ssl.SSLError):
            pass
        finally:
            try:
                conn.close()
            except OSError:
                pass

    def send(self, conn, data):
        conn.sendall(data)

    def reply(self, conn, target, raw=b""):
        scheme = "https" if self.ctx else "http"
        if target.startswith("/ok/"):
            body = body_of(int(target[4:]))
            self.send(conn, b"HTTP/1.0 200 OK\r\nContent-Type: Application/Octet-Stream\r\n"
                      b"Content-Length: %d\r\n\r\n" % len(body) + body)
        elif target.startswith("/nolen/"):
            body = body_of(int(target[7:]))
            self.send(conn, b"HTTP/1.0 200 OK\r\n\r\n" + body)
        elif target == "/met" or target.startswith("/file/"):
            path = self.args.met if target == "/met" else os.path.join(self.args.dir, target[6:])
            if not os.path.isfile(path):
                self.send(conn, b"HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n")
                return
            with open(path, "rb") as f:
                size = os.fstat(f.fileno()).st_size
                self.send(conn, b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\nConnection: close\r\n\r\n"
                          % size)
                conn.sendfile(f)
        elif target.startswith("/gzfile/"):
            if b"\r\naccept-encoding: gzip\r\n" not in raw.lower():
                self.send(conn, b"HTTP/1.0 406 Not Acceptable\r\nContent-Length: 0\r\n\r\n")
                return
            with open(os.path.join(self.args.dir, target[8:]), "rb") as f:
                self.send(conn, b"HTTP/1.0 200 OK\r\nContent-Encoding: gzip\r\n\r\n")
                conn.sendfile(f)
        elif target == "/404":
            self.send(conn, b"HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\n"
                      b"Content-Length: 9\r\n\r\nnot found")
        elif target == "/301":
            self.send(conn, b"HTTP/1.0 301 Moved Permanently\r\nLocation: /ok/10\r\n\r\nmoved")
        elif target == "/301cl0":
            self.send(conn, b"HTTP/1.0 301 Moved Permanently\r\nLocation: /ok/10\r\n"
                      b"Content-Length: 0\r\n\r\n")
        elif target == "/301abs":
            self.send(conn, ("HTTP/1.0 301 Moved\r\nLocation: %s://127.0.0.1:%d/ok/7\r\n\r\n"
                             % (scheme, self.port)).encode())
        elif target == "/301rel":
            self.send(conn, b"HTTP/1.0 301 Moved\r\nLocation: ./ok/9\r\n\r\n")
        elif target.startswith("/to?"):
            self.send(conn, b"HTTP/1.0 302 Found\r\nLocation: " + target[4:].encode() + b"\r\n\r\n")
        elif target == "/html":
            self.send(conn, b"<HtMl>\r\n<body>ed2k://|server|1.2.3.4|4661|/</body></html>\r\n")
        elif target == "/longline":
            self.send(conn, b"HTTP/1.0 200 OK\r\nX-Long: " + b"a" * 9000 + b"\r\n\r\nbody")
        elif target == "/silent":
            conn.settimeout(60)
            try:
                while conn.recv(1024):
                    pass
            except OSError:
                pass
        elif target.startswith("/slow/"):
            self.send(conn, b"HTTP/1.0 200 OK\r\n\r\n")
            for _ in range(int(target[6:])):
                self.send(conn, b"s" * 100)
                time.sleep(0.2)
        elif target.startswith("/loop/"):
            n = int(target[6:])
            self.send(conn, b"HTTP/1.0 302 Found\r\nLocation: /loop/%d\r\n\r\n" % (n + 1))
        elif target == "/close":
            pass
        else:
            self.send(conn, b"HTTP/1.0 400 Bad Request\r\n\r\n")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--port", type=int, default=0)
    ap.add_argument("--log")
    ap.add_argument("--met")
    ap.add_argument("--dir", default=".")
    ap.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    args = ap.parse_args()
    server = Server(args)
    print(server.port, flush=True)
    server.serve()


if __name__ == "__main__":
    main()
