#!/usr/bin/env python3
"""Stand-in for the analytics collection service, reached through nginx on 443 at /mp/.

Every request is appended to the record file as one JSON line:
  {"method": ..., "path": ..., "headers": [[name, value], ...], "body": <text, UTF-8>}
with the headers in the order they arrived (as nginx forwards them). POST /mp/collect is
answered 204 with no body, like the real service; any other path 404.

Usage: analytics_collector.py ADDRESS PORT RECORD_FILE. Serves until killed; binds only the
address given.
"""
import http.server
import json
import sys
import threading

MAX_BODY = 1024 * 1024
lock = threading.Lock()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def record(self, body):
        entry = {
            "method": self.command,
            "path": self.path,
            "headers": [[name, value] for name, value in self.headers.items()],
            "body": body.decode("utf-8", errors="replace"),
        }
        with lock, open(self.server.record_file, "a", encoding="utf-8") as out:
            out.write(json.dumps(entry) + "\n")

    def answer(self, status):
        self.send_response(status)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def do_POST(self):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(min(length, MAX_BODY))
        self.record(body)
        self.answer(204 if self.path.split("?", 1)[0] == "/mp/collect" else 404)

    def do_GET(self):
        self.record(b"")
        self.answer(404)

    def log_message(self, format, *args):
        pass


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True


if __name__ == "__main__":
    server = Server((sys.argv[1], int(sys.argv[2])), Handler)
    server.record_file = sys.argv[3]
    open(server.record_file, "a").close()
    server.serve_forever()
