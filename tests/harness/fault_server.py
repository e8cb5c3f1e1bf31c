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

A ranged file for the range downloader's tests: SIZE bytes, byte i being
((i * 2654435761) >> 13) & 0xFF, served on kept-alive connections:

  GET /ranged/<token>/<mode>/<size>
      ok          206 for a Range (an open-ended one gets at most 64 KiB), 200 without one
      plain200    200 with the whole file, whatever the Range
      rangeonly   206 with Content-Range but no Content-Length, then close
      badlength   206 with Content-Range and a Content-Length of "many", then close
      badlength200  200 with the whole file and a Content-Length of "many", then close
      ranges200   like ok, but the first request for each range start after byte 0 gets the
                  whole file with 200
      wrongstart  like ok, but the first request for each range start after byte 0 gets 206
                  from one byte later
      overlong    like ok, but the first answer for each range start after byte 0 (of more than
                  one byte) announces one byte less than it sends, sends that last byte wrong,
                  has no Content-Length and closes
      some404     like ok, but ranges starting in the second half of the file get 404
      stalllast   like ok, but the first answer holding the file's last byte stops before it
                  and stalls
      slow        like ok, sent in 4 KiB pieces with 20 ms pauses
      chaos       like ok, but a third of the answers reset or stall part-way (seeded by token)
  GET /log/<token>   the Range values the ranged file received for this token, one per line

Any of these paths may start with "/fault": nginx passes "/fault/..." on to this server
unchanged from ports 80 and 443, for clients that never use a port written in the URL.

Usage: fault_server.py ADDRESS PORT. Serves until killed; binds only the address given.
"""
import random
import socket
import socketserver
import struct
import sys
import threading
import time
import urllib.parse

STALL_SECONDS = 30
RESET_DELAY_SECONDS = 0.5
MAX_HEAD = 64 * 1024


RANGED_OPEN_END_LIMIT = 64 * 1024
ranged_lock = threading.Lock()
ranged_log = {}       # token -> Range values received
ranged_seen = {}      # token -> range starts already answered once
ranged_random = {}    # token -> random.Random
ranged_content = {}   # size -> bytes


def content_of(size):
    with ranged_lock:
        if size not in ranged_content:
            ranged_content[size] = bytes(((i * 2654435761) >> 13) & 0xFF for i in range(size))
        return ranged_content[size]


def header_value(head, name):
    for line in head.split(b"\r\n")[1:]:
        key, _, value = line.partition(b":")
        if key.strip().lower() == name:
            return value.strip().decode("latin-1")
    return None


def stall(conn):
    conn.settimeout(STALL_SECONDS)
    try:
        while conn.recv(4096):
            pass
    except OSError:
        pass


def reset(conn):
    conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))


def serve_ranged(conn, head, token, mode, size):
    """Answers one request for the ranged file; returns False when the connection must end."""
    content = content_of(size)
    wanted = header_value(head, b"range")
    with ranged_lock:
        ranged_log.setdefault(token, []).append(wanted or "")
        seen = ranged_seen.setdefault(token, set())
        rng = ranged_random.setdefault(token, random.Random(token))
        roll = rng.random()
    first, last = None, size - 1
    if wanted and wanted.startswith("bytes=") and mode not in ("plain200", "badlength200"):
        a, _, b = wanted[len("bytes="):].partition("-")
        first = int(a)
        if b:
            last = min(int(b), size - 1)
        elif mode not in ("rangeonly", "badlength"):
            last = min(size - 1, first + RANGED_OPEN_END_LIMIT - 1)
    once = first is not None and first > 0 and first not in seen
    if once:
        with ranged_lock:
            seen.add(first)
    if mode == "some404" and first is not None and first >= size // 2:
        conn.sendall(b"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n")
        return True
    if mode == "ranges200" and once:
        first = None
    shift = 1 if mode == "wrongstart" and once else 0
    overlong = mode == "overlong" and once and last > first
    if first is None:
        body = content
        lines = ["HTTP/1.1 200 OK", "Content-Length: %d" % len(body)]
    else:
        start = first + shift
        body = content[start:last + 1]
        announced_last = last - 1 if overlong else last
        lines = ["HTTP/1.1 206 Partial Content", "Content-Range: bytes %d-%d/%d" % (start, announced_last, size)]
        if mode != "rangeonly" and not overlong:
            lines.append("Content-Length: %d" % len(body))
    if overlong:
        body = body[:-1] + bytes([body[-1] ^ 0xFF])
    if mode in ("badlength", "badlength200"):
        lines = [line for line in lines if not line.startswith("Content-Length")] + ["Content-Length: many"]
    closing = mode in ("rangeonly", "badlength", "badlength200") or overlong
    lines.append("Connection: close" if closing else "Connection: keep-alive")
    conn.sendall(("\r\n".join(lines) + "\r\n\r\n").encode("latin-1"))
    if mode == "stalllast" and first is not None and last == size - 1 and "last" not in seen:
        with ranged_lock:
            seen.add("last")
        conn.sendall(body[:-1])
        stall(conn)
        return False
    if mode == "chaos" and roll < 0.34 and len(body) > 1:
        conn.sendall(body[:len(body) // 2])
        if roll < 0.17:
            time.sleep(RESET_DELAY_SECONDS)
            reset(conn)
        else:
            stall(conn)
        return False
    if mode == "slow":
        for at in range(0, len(body), 4096):
            conn.sendall(body[at:at + 4096])
            time.sleep(0.02)
    else:
        conn.sendall(body)
    return not closing


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
            if path.startswith("/fault/"):
                path = path[len("/fault"):]
            if path.startswith("/ranged/"):
                parts = path.split("/")
                if len(parts) != 5 or not parts[4].isdigit():
                    conn.sendall(b"HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
                    return
                try:
                    if serve_ranged(conn, head, parts[2], parts[3], int(parts[4])):
                        continue
                except OSError:
                    pass
                return
            if path.startswith("/log/"):
                with ranged_lock:
                    body = "\n".join(ranged_log.get(path[len("/log/"):], [])).encode("latin-1")
                conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\nConnection: close\r\n\r\n" % len(body) + body)
                return
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
                stall(conn)
            return


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


if __name__ == "__main__":
    with Server((sys.argv[1], int(sys.argv[2])), Handler) as server:
        server.serve_forever()
