#!/usr/bin/env python3
"""A small HTTP server for the downloader's tests, on 127.0.0.1 only.

Usage: testserver.py ROOT PORTFILE

It writes the port it listens on to PORTFILE, records the raw bytes of every
request in ROOT/requests.log (each followed by a line "----"), and answers by
the path of the request (also when it came as an absolute URL, as a proxy
gets it):
  /files/NAME       the file ROOT/NAME, or 404 "File not found"
  /status/CODE      that status with the reason phrase "Test Reason CODE"
  /stall            headers and 10 bytes of a 1,000-byte body, then silence
  /silent           nothing at all: the connection stays open, unanswered
  /cgi-bin/update.cgi  the file ROOT/update.cgi, or 404 "File not found"
  /drop...          headers and half of a 1,000-byte body, then a close
  /big/N            a body of N bytes
  /redirect/N       a redirect to /files/N
  /drip             headers of a 1,000,000-byte body, then one byte a second
  /trickle          headers of a 1,000,000-byte body, then 500 bytes a second
  /longreason       status 500 with a reason phrase of 100,000 characters
  /empty            200 with no body and no length: the connection closes
  anything else     200 with the body "ok"
It stops when stdin closes, or after 10 minutes.
"""
import os
import socket
import sys
import threading
import time

ROOT = sys.argv[1]
LOG_LOCK = threading.Lock()


def send(conn, status, reason, body=b"", headers=()):
    head = "HTTP/1.0 %d %s\r\n" % (status, reason)
    for header in headers:
        head += header + "\r\n"
    head += "Content-Length: %d\r\n\r\n" % len(body)
    conn.sendall(head.encode() + body)


def handle(conn):
    try:
        data = b""
        while b"\r\n\r\n" not in data:
            chunk = conn.recv(4096)
            if not chunk:
                return
            data += chunk
        with LOG_LOCK:
            with open(os.path.join(ROOT, "requests.log"), "ab") as log:
                log.write(data + b"----\n")
        target = data.split(b"\r\n", 1)[0].split(b" ")[1].decode()
        if "://" in target:
            target = "/" + target.split("/", 3)[3] if target.count("/") >= 3 else "/"
        if target == "/cgi-bin/update.cgi":
            path = os.path.join(ROOT, "update.cgi")
            if os.path.isfile(path):
                with open(path, "rb") as f:
                    send(conn, 200, "OK", f.read())
            else:
                send(conn, 404, "File not found")
        elif target.startswith("/files/"):
            path = os.path.join(ROOT, os.path.basename(target[len("/files/"):]))
            if os.path.isfile(path):
                with open(path, "rb") as f:
                    body = f.read()
                send(conn, 200, "OK", body)
            else:
                send(conn, 404, "File not found")
        elif target.startswith("/status/"):
            code = int(target[len("/status/"):])
            send(conn, code, "Test Reason %d" % code, b"<html>error page</html>")
        elif target == "/stall":
            conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n" + b"x" * 10)
            time.sleep(30)
        elif target == "/silent":
            time.sleep(30)
        elif target.startswith("/drop"):
            conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n" + b"x" * 500)
        elif target.startswith("/big/"):
            size = int(target[len("/big/"):])
            conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % size)
            block = b"z" * 65536
            while size > 0:
                conn.sendall(block[:min(size, len(block))])
                size -= len(block)
        elif target in ("/drip", "/trickle"):
            conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 1000000\r\n\r\n")
            piece = b"d" if target == "/drip" else b"t" * 500
            for _ in range(60):
                conn.sendall(piece)
                time.sleep(1)
        elif target == "/longreason":
            conn.sendall(b"HTTP/1.0 500 " + b"R" * 100000 + b"\r\nContent-Length: 0\r\n\r\n")
        elif target == "/empty":
            conn.sendall(b"HTTP/1.0 200 OK\r\n\r\n")
        elif target.startswith("/redirect/"):
            send(conn, 302, "Found", b"", ["Location: /files/" + target[len("/redirect/"):]])
        else:
            send(conn, 200, "OK", b"ok")
    except OSError:
        pass
    finally:
        try:
            conn.close()
        except OSError:
            pass


def main():
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", 0))
    server.listen(16)
    with open(sys.argv[2] + ".tmp", "w") as f:
        f.write(str(server.getsockname()[1]))
    os.rename(sys.argv[2] + ".tmp", sys.argv[2])
    threading.Thread(target=lambda: (sys.stdin.read(), os._exit(0)), daemon=True).start()
    threading.Timer(600, lambda: os._exit(0)).start()
    while True:
        conn, _ = server.accept()
        threading.Thread(target=handle, args=(conn,), daemon=True).start()


main()
