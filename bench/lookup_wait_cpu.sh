#!/usr/bin/env bash
# The CPU time that a look-up's 15-second connection wait costs, as a share of its wall time
# (target: under 2%). The WHOIS server is a loopback listener whose accept queue is full, held for
# the whole run: the connection attempt stays pending, and the look-up waits out its full 15
# seconds. `sleep 15` is measured beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=build/regiscribe-cli
[ -x "$cli" ] || { echo "build first: ./scripts/build.sh" >&2; exit 1; }
work=$(mktemp -d)
/usr/bin/python3 - >"$work/port" <<'PY' &
import socket, time
listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(0)
fillers = []
for _ in range(8):  # until an attempt no longer completes: the queue is full
    s = socket.socket()
    s.setblocking(False)
    s.connect_ex(listener.getsockname())
    fillers.append(s)
print(listener.getsockname()[1], flush=True)
time.sleep(60)
PY
holder=$!
trap 'kill $holder 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(cat "$work/port")
measure() { /usr/bin/time -f "%e %U %S" "$@" 2>&1 >/dev/null | tail -1; }
read -r wall user sys < <(measure "$cli" whois example.com --server "127.0.0.1:$port" || true)
read -r pwall puser psys < <(measure sleep 15)
/usr/bin/python3 - "$wall" "$user" "$sys" "$pwall" "$puser" "$psys" <<'PY'
import sys
wall, user, sys_, pwall, puser, psys = map(float, sys.argv[1:])
print(f"regiscribe-cli connection wait: {wall:.1f} s wall, CPU / wall = {(user + sys_) / wall:.4f} "
      f"(target < 0.02)")
print(f"sleep 15 beside it: CPU / wall = {(puser + psys) / pwall:.4f}")
PY
