#!/usr/bin/python3
"""A local HTTPS server for the RDAP tests, with Python's http.server and ssl.

Usage: rdap_server.py --cert CERT --key KEY --routes ROUTES.json --log LOG [--var NAME=VALUE]...

Answers each GET from the routes file, which is read again for every request (a test may change
it between look-ups). A route is the request path (with its query string, if any) mapped to:
  {"status": 200, "body": <JSON value or text>}   an answer (JSON values are sent as JSON)
  {"status": 301, "location": "/other"}           a redirect
  {"status": 429, "headers": {"Retry-After": "30"}, "body": ...}   an answer with more headers
  {"status": 200, "type": "text/html", "body": "<html>..."}   another content type
  {"hang": SECONDS}                               no answer at all for that long
  {"size": BYTES}                                 a JSON array of that many bytes, streamed
  {"nest": DEPTH}                                 a JSON value nested DEPTH arrays deep
  {"reset": true}                                 the connection reset, no answer
  {"gzip": BYTES}                                 gzip-encoded JSON that expands to BYTES
  {"gzip": BYTES, "damaged": true}                the same with its compressed bytes spoilt
Texts "@PORT@" (this server's port) and "@NAME@" (each --var) are replaced in bodies and
locations. Unknown paths get a 404 with an RDAP error body. Every request path is appended to LOG.
Prints "PORT <n>" when it listens; ends when its standard input closes, after 120 s at most.
"""
import argparse
import json
import os
import select
import socket
import ssl
import struct
import sys
import threading
import time
import zlib
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

args = None
port = 0


def substitute(text):
    text = text.replace("@PORT@", str(port))
    for var in args.var:
        name, value = var.split("=", 1)
        text = text.replace("@" + name + "@", value)
    return text


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *a):
        pass

    def answer(self, status, body, content_type="application/rdap+json", headers=None):
        data = body if isinstance(body, bytes) else body.encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(data)))
        for k, v in (headers or {}).items():
            self.send_header(k, v)
        self.end_headers()
        self.wfile.write(data)

    def do_GET(self):
        with open(args.log, "a") as log:
            log.write(self.path + "\n")
        with open(args.routes) as f:
            routes = json.load(f)
        route = routes.get(self.path)
        if route is None:
            return self.answer(404, json.dumps({"errorCode": 404, "title": "Not Found"}))
        if route.get("reset"):
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                                       struct.pack("ii", 1, 0))
            self.close_connection = True
            self.connection.close()
            return
        if "hang" in route:
            time.sleep(route["hang"])
            return
        if "size" in route:
            size = route["size"]
            self.send_response(200)
            self.send_header("Content-Type", "application/rdap+json")
            self.send_header("Content-Length", str(size))
            self.end_headers()
            chunk = b"1234567," * 8192
            sent = 1
            self.wfile.write(b"[")
            try:
                while sent < size - 1:
                    part = chunk[:min(len(chunk), size - 1 - sent)]
                    self.wfile.write(part)
                    sent += len(part)
                self.wfile.write(b"]")
            except OSError:
                pass
            return
        if "gzip" in route:
            # A JSON array of blanks: a few hundred kilobytes on the wire.
            packer = zlib.compressobj(9, zlib.DEFLATED, 31)
            blanks = b" " * (1 << 20)
            parts, left = [packer.compress(b"[")], route["gzip"] - 2
            while left > 0:
                parts.append(packer.compress(blanks[:min(left, len(blanks))]))
                left -= len(blanks)
            parts.append(packer.compress(b"]") + packer.flush())
            body = b"".join(parts)
            if route.get("damaged"):
                # The header stays; what follows it reads as no valid deflate block.
                body = body[:10] + b"\xff" * 16 + body[26:]
            self.send_response(200)
            self.send_header("Content-Type", "application/rdap+json")
            self.send_header("Content-Encoding", "gzip")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            try:
                self.wfile.write(body)
            except OSError:
                pass
            return
        if "nest" in route:
            depth = route["nest"]
            return self.answer(200, "[" * depth + "]" * depth)
        status = route.get("status", 200)
        headers = dict(route.get("headers", {}))
        if "location" in route:
            headers["Location"] = substitute(route["location"])
        body = route.get("body", "")
        text = body if isinstance(body, str) else json.dumps(body)
        self.answer(status, substitute(text), route.get("type", "application/rdap+json"),
                    headers=headers)


def main():
    global args, port
    parser = argparse.ArgumentParser()
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--routes", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--var", action="append", default=[])
    args = parser.parse_args()
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(args.cert, args.key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    port = server.server_address[1]
    print("PORT %d" % port, flush=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    deadline = time.time() + 120
    while time.time() < deadline:
        ready, _, _ = select.select([sys.stdin], [], [], max(0.0, deadline - time.time()))
        if ready and not os.read(sys.stdin.fileno(), 4096):
            break
    server.shutdown()


if __name__ == "__main__":
    main()
