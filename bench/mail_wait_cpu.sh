#!/usr/bin/env bash
# CPU time used while `regiscribe-cli send` waits 5 seconds for a server that accepts the
# connection and never says a word; prints CPU time as a share of the wall time of the same run
# (must stay under 2%).
source "$(dirname "$0")/mail_common.sh"

# A silent server: accepts, then keeps the connection open without answering.
/usr/bin/python3 - >"$WORK/silent.out" <<'PY' &
import socket, sys, time
s = socket.socket()
s.bind(("127.0.0.1", 0))
s.listen(4)
print("PORT %d" % s.getsockname()[1], flush=True)
s.settimeout(30)
try:
    conn, _ = s.accept()
    time.sleep(30)
except OSError:
    pass
PY
STARTED_PIDS+=($!)
for _ in $(seq 1 100); do grep -q '^PORT ' "$WORK/silent.out" 2>/dev/null && break; sleep 0.1; done
PORT="$(awk '/^PORT /{print $2}' "$WORK/silent.out")"
[ -n "$PORT" ] || { echo "the silent server did not start" >&2; exit 1; }

echo body >"$WORK/body.txt"
set +e
/usr/bin/time -f '%e %U %S' -o "$WORK/time.txt" \
    "$CLI" send --server "127.0.0.1:$PORT" --timeout 5 --from me@example.org --to you@example.org \
    "$WORK/body.txt" >"$WORK/send.out" 2>"$WORK/send.err"
status=$?
set -e
echo "send ended with status $status: $(cat "$WORK/send.err")"
read -r wall user sys < <(tail -n 1 "$WORK/time.txt")
/usr/bin/python3 -c '
import sys
wall, user, sys_ = map(float, sys.argv[1:4])
cpu = user + sys_
print("wall %.2f s, cpu %.3f s (user %.3f, system %.3f)" % (wall, cpu, user, sys_))
print("ratio cpu/wall: %.2f%% (must be < 2%%)" % (100 * cpu / wall))
' "$wall" "$user" "$sys"
