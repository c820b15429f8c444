#!/usr/bin/env bash
# CPU time used while `regiscribe-cli send` waits 5 seconds for a server that accepts the
# connection and never says a word: once for its greeting (plain session), once for its answer to
# the TLS handshake (--security tls). Prints CPU time as a share of the wall time of the same run
# (must stay under 2% each).
source "$(dirname "$0")/mail_common.sh"

# A silent server: accepts, then keeps the connection open without answering.
/usr/bin/python3 - >"$WORK/silent.out" <<'PY' &
import socket, sys, time
s = socket.socket()
s.bind(("127.0.0.1", 0))
s.listen(4)
print("PORT %d" % s.getsockname()[1], flush=True)
s.settimeout(60)
held = []
try:
    while True:
        conn, _ = s.accept()
        held.append(conn)
except OSError:
    pass
PY
STARTED_PIDS+=($!)
PORT="$(port_from "$WORK/silent.out")"
[ -n "$PORT" ] || { echo "the silent server did not start" >&2; exit 1; }

echo body >"$WORK/body.txt"
measure() { # label, then the extra options of the send
    local label=$1
    shift
    set +e
    /usr/bin/time -f '%e %U %S' -o "$WORK/time.txt" \
        "$CLI" send --server "127.0.0.1:$PORT" --timeout 5 --from me@example.org \
        --to you@example.org "$@" "$WORK/body.txt" >"$WORK/send.out" 2>"$WORK/send.err"
    local status=$?
    set -e
    echo "$label: send ended with status $status: $(cat "$WORK/send.err")"
    read -r wall user sys < <(tail -n 1 "$WORK/time.txt")
    /usr/bin/python3 -c '
import sys
label, wall, user, sys_ = sys.argv[1], *map(float, sys.argv[2:5])
cpu = user + sys_
print("%s: wall %.2f s, cpu %.3f s (user %.3f, system %.3f)" % (label, wall, cpu, user, sys_))
print("%s: ratio cpu/wall: %.2f%% (must be < 2%%)" % (label, 100 * cpu / wall))
' "$label" "$wall" "$user" "$sys"
}
measure "greeting wait"
measure "TLS handshake wait" --security tls
