#!/usr/bin/python3
"""A small authoritative DNS server with one fault, for the behaviours real servers show but NSD
and BIND cannot be configured to: built on Debian's python3-dnslib.

Usage: quirkydns.py ADDRESS PORT MODE [--zone NAME SERIAL NS...] [--a NAME=ADDRESS]...
                    [--delay SECONDS]

Listens on ADDRESS, UDP and TCP, on PORT (0: a free one) and prints "PORT <n>" once it does; it
stops when its standard input closes, or after two minutes. It answers the zone's SOA and NS set
with authority (the SOA names the first NS as primary), the A records given with --a (with
recursion available, as a resolver), NODATA or NXDOMAIN for other names in the zone, and
REFUSED for anything else. MODE is its fault:
  good      none
  tc        every UDP answer truncated (TC set, no records); TCP answers whole
  noedns    queries carrying EDNS get no answer at all; others are answered
  formerr   queries carrying EDNS get FORMERR without an OPT record
  qr0       every "answer" has QR clear (the query reflected)
  silent    reads every query and accepts every connection, answers nothing
  slow      answers after --delay seconds
"""
import select
import socket
import sys
import time

from dnslib import A, DNSRecord, EDNS0, NS, QTYPE, RCODE, RR, SOA

address, port, mode = sys.argv[1], int(sys.argv[2]), sys.argv[3]
zone, serial, ns_names, hosts, delay = None, 1, [], {}, 0.0
args = sys.argv[4:]
while args:
    if args[0] == "--zone":
        zone, serial = args[1].rstrip(".").lower(), int(args[2])
        args = args[3:]
        while args and not args[0].startswith("--"):
            ns_names.append(args.pop(0))
    elif args[0] == "--a":
        name, value = args[1].split("=")
        hosts.setdefault(name.rstrip(".").lower(), []).append(value)
        args = args[2:]
    elif args[0] == "--delay":
        delay = float(args[1])
        args = args[2:]
    else:
        sys.exit("unknown argument " + args[0])


def answer(query):
    """The reply to a query, or None for no reply."""
    edns = any(rr.rtype == QTYPE.OPT for rr in query.ar)
    if mode == "noedns" and edns:
        return None
    reply = query.reply()
    reply.ar = []
    # An authoritative server: no recursion available (the library's reply offers it).
    reply.header.ra = 0
    if mode == "formerr" and edns:
        reply.header.rcode = RCODE.FORMERR
        reply.header.aa = 0
        return reply
    if edns:
        reply.add_ar(EDNS0(udp_len=1232))
    name = str(query.q.qname).rstrip(".").lower()
    qtype = QTYPE[query.q.qtype]
    soa = None if zone is None else RR(zone + ".", QTYPE.SOA, ttl=300, rdata=SOA(
        ns_names[0], "hostmaster." + zone, (serial, 3600, 600, 86400, 300)))
    inside = zone is not None and (name == zone or name.endswith("." + zone))
    if inside and name == zone and qtype in ("SOA", "NS"):
        if qtype == "SOA":
            reply.add_answer(soa)
        else:
            for ns in ns_names:
                reply.add_answer(RR(zone + ".", QTYPE.NS, ttl=300, rdata=NS(ns)))
    elif name in hosts and qtype in ("A", "AAAA"):
        reply.header.ra = 1
        if qtype == "A":
            for value in hosts[name]:
                reply.add_answer(RR(name + ".", QTYPE.A, ttl=300, rdata=A(value)))
        return reply
    elif inside:
        # No such data at the apex, no such name below it: said with authority, as zones do.
        reply.add_auth(soa)
        if name != zone:
            reply.header.rcode = RCODE.NXDOMAIN
    else:
        reply.header.rcode = RCODE.REFUSED
        reply.header.aa = 0
        return reply
    reply.header.aa = 1
    if mode == "qr0":
        reply.header.qr = 0
    return reply


def wire(reply, over_udp):
    if mode == "tc" and over_udp:
        reply.rr, reply.auth = [], []
        reply.header.tc = 1
    return reply.pack()


udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
tcp = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
tcp.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
# Port 0: a port free for both transports.
for attempt in range(50):
    try:
        udp.bind((address, port))
        tcp.bind((address, udp.getsockname()[1]))
        break
    except OSError:
        if port != 0:
            raise
        udp.close()
        tcp.close()
        udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        tcp = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        tcp.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
tcp.listen(16)
print("PORT %d" % udp.getsockname()[1], flush=True)

connections = {}  # socket: bytes received
later = []  # (when, socket, data, peer or None)
end = time.monotonic() + 120
while time.monotonic() < end:
    timeout = max(0.0, min([w for w, _, _, _ in later], default=time.monotonic() + 0.5)
                  - time.monotonic())
    readable, _, _ = select.select([udp, tcp, sys.stdin] + list(connections), [], [], timeout)
    if sys.stdin in readable and not sys.stdin.buffer.read1(1024):
        break
    now = time.monotonic()
    for item in [i for i in later if i[0] <= now]:
        later.remove(item)
        _, sock, data, peer = item
        try:
            sock.sendto(data, peer) if peer else sock.sendall(data)
        except OSError:
            pass
    for sock in readable:
        if sock is udp:
            data, peer = udp.recvfrom(65535)
            if mode == "silent":
                continue
            try:
                reply = answer(DNSRecord.parse(data))
            except Exception:
                continue
            if reply is not None:
                later.append((now + (delay if mode == "slow" else 0), udp, wire(reply, True), peer))
        elif sock is tcp:
            connection, _ = tcp.accept()
            connections[connection] = b""
        elif sock in connections:
            chunk = sock.recv(65535)
            if not chunk:
                del connections[sock]
                sock.close()
                continue
            if mode == "silent":
                continue
            buffer = connections[sock] + chunk
            while len(buffer) >= 2 and len(buffer) >= 2 + int.from_bytes(buffer[:2], "big"):
                size = int.from_bytes(buffer[:2], "big")
                try:
                    reply = answer(DNSRecord.parse(buffer[2:2 + size]))
                except Exception:
                    reply = None
                buffer = buffer[2 + size:]
                if reply is not None:
                    data = wire(reply, False)
                    later.append((now + (delay if mode == "slow" else 0), sock,
                                  len(data).to_bytes(2, "big") + data, None))
            connections[sock] = buffer
