#!/usr/bin/python3
"""A local WHOIS server for the look-up benchmarks: answers every query with SIZE bytes of
answer lines and closes. Prints its port, then serves until killed."""
import socket
import sys
import threading

size = int(sys.argv[1])
line = b"Registrant Street: 1234 Benchmark Avenue, Suite 567, Example City   \n"
answer = (line * (size // len(line) + 1))[:size]


def serve(peer):
    with peer:
        query = b""
        while not query.endswith(b"\n"):
            got = peer.recv(512)
            if not got:
                return
            query += got
        peer.sendall(answer)


listener = socket.socket()
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
listener.bind(("127.0.0.1", 0))
listener.listen(16)
print(listener.getsockname()[1], flush=True)
while True:
    peer, _ = listener.accept()
    threading.Thread(target=serve, args=(peer,), daemon=True).start()
