#!/usr/bin/env python3
"""Scripted HTTP server for the responses a real server never sends: malformed status lines and
headers, bare line feeds, interim 100 responses, broken chunk frames, resets and stalls.

The test names the exact bytes to answer with in the request path, percent-encoded, and what to
do afterwards in the query:

  GET /raw/<percent-encoded response>?<action>
      close (default)  send the bytes, then close the connection
      keep             send the bytes, then read the next request on the same connection
      reset            send the bytes, wait half a second, then reset the connection
      stall            send the bytes, then stay silent until the client goes (at most 30 s)
  GET /echo            answer 200 with the request head received as the body, then close

Usage: fault_server.py ADDRESS PORT. Serves until killed; binds only the address given.
"""
import socket
import socketserver
import struct
import sys
import time
import urllib.parse

STALL_SECONDS = 30
RESET_DELAY_SECONDS = 0.5
MAX_HEAD = 64 * 1024


def read_head(conn, pending):
    while b"\r\n\r\n" not in pending:
        if len(pending) > MAX_HEAD:
            return None, b""
        data = conn.recv(4096)
        if not data:
            return None, b""
        pending += data
    head, _, rest = pending.partition(b"\r\n\r\n")
    return head + b"\r\n\r\n", rest


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        conn = self.request
        pending = b""
        while True:
            head, pending = read_head(conn, pending)
            if head is None:
                return
            target = head.split(b"\r\n", 1)[0].split(b" ")
            target = target[1].decode("latin-1") if len(target) > 1 else "/"
            path, _, action = target.partition("?")
            if path == "/echo":
                conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\nConnection: close\r\n\r\n" % len(head) + head)
                return
            if not path.startswith("/raw/"):
                conn.sendall(b"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
                return
            conn.sendall(urllib.parse.unquote_to_bytes(path[len("/raw/"):]))
            if action == "keep":
                continue
            if action == "reset":
                # Time for the client to read what was sent before the reset discards it.
                time.sleep(RESET_DELAY_SECONDS)
                conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            elif action == "stall":
                conn.settimeout(STALL_SECONDS)
                try:
                    while conn.recv(4096):
                        pass
                except OSError:
                    pass
            return


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


if __name__ == "__main__":
    with Server((sys.argv[1], int(sys.argv[2])), Handler) as server:
        server.serve_forever()
