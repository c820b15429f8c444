#!/usr/bin/python3
"""A local look-up server for the benchmarks. Answers every query line and closes:
   lookup_answer_server.py whois SIZE [PORT]    SIZE bytes of WHOIS-like lines ending in LF
   lookup_answer_server.py finger LINES [PORT]  LINES lines of a host's user list, ending in CR LF
Prints its port (PORT, or one the system chose), then serves until killed."""
import socket
import sys
import threading

kind, amount = sys.argv[1], int(sys.argv[2])
port = int(sys.argv[3]) if len(sys.argv) > 3 else 0
if kind == "whois":
    line = b"Registrant Street: 1234 Benchmark Avenue, Suite 567, Example City   \n"
    answer = (line * (amount // len(line) + 1))[:amount]
else:
    answer = b"".join(b"user%05d  Benchmark User Number %05d   pts/%-3d  Dec  8 09:%02d (192.0.2.%d)\r\n"
                      % (i, i, i % 64, i % 60, i % 250) for i in range(amount))


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
listener.bind(("127.0.0.1", port))
listener.listen(16)
print(listener.getsockname()[1], flush=True)
while True:
    peer, _ = listener.accept()
    threading.Thread(target=serve, args=(peer,), daemon=True).start()
