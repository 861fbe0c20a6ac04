#!/usr/bin/env python3
"""Loopback stand-in for every server the program talks to.

The test prefix's proxy points here, so each request arrives with its absolute
URL. Every request is appended to a JSON-lines log (method, URL, headers,
body); the answer is 200 with an empty body unless an answer file maps the
URL's path to a body.

    testserver.py --port 18080 --log requests.jsonl [--answers answers.json]
"""
import argparse
import json
import threading
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import urlsplit

lock = threading.Lock()


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def _handle(self):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length) if length else b""
        record = {
            "method": self.command,
            "url": self.path,
            "headers": dict(self.headers.items()),
            "body": body.decode("latin-1"),
        }
        with lock, open(self.server.log_path, "a", encoding="utf-8") as log:
            log.write(json.dumps(record) + "\n")
        answer = self.server.answers.get(urlsplit(self.path).path, "")
        data = answer.encode("utf-8")
        self.send_response(200)
        self.send_header("Content-Type", "text/plain; charset=utf-8")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    do_GET = do_POST = do_HEAD = _handle

    def log_message(self, *args):
        pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=18080)
    parser.add_argument("--log", required=True)
    parser.add_argument("--answers")
    args = parser.parse_args()
    server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.log_path = args.log
    server.answers = {}
    if args.answers:
        with open(args.answers, encoding="utf-8") as f:
            server.answers = json.load(f)
    open(args.log, "a").close()
    server.serve_forever()


if __name__ == "__main__":
    main()
