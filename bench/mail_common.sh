# Shared by the mail benchmarks: paths, a scratch folder, and the loopback SMTP sink.
# Source it; it sets ROOT, CLI, WORK and cleans up what it started on exit.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CLI="${REGISCRIBE_CLI:-$ROOT/build/regiscribe-cli}"
[ -x "$CLI" ] || { echo "build first: $CLI is missing" >&2; exit 1; }
WORK="$(mktemp -d)"
STARTED_PIDS=()
cleanup() {
    for pid in "${STARTED_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${STARTED_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$WORK"
}
trap cleanup EXIT
source "$ROOT/bench/server_port.sh"

# Starts the aiosmtpd sink on a free loopback port; sets SINK_PORT and SINK_DIR.
start_sink() {
    SINK_DIR="$WORK/received"
    mkdir -p "$SINK_DIR"
    /usr/bin/python3 "$ROOT/tests/mail/smtp_sink.py" "$SINK_DIR" 600 >"$WORK/sink.out" &
    STARTED_PIDS+=($!)
    SINK_PORT="$(port_from "$WORK/sink.out")"
    [ -n "$SINK_PORT" ] || { echo "the SMTP sink did not start" >&2; exit 1; }
}

# The mean run time of a command in a hyperfine JSON export, by its index.
mean_of() {
    /usr/bin/python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][int(sys.argv[2])]["mean"])' "$1" "$2"
}

# The mean CPU time (user + system) of a command in a hyperfine JSON export, by its index.
cpu_of() {
    /usr/bin/python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"][int(sys.argv[2])]; print(r["user"] + r["system"])' "$1" "$2"
}

ratio() {
    /usr/bin/python3 -c 'import sys; print("%.2f" % (float(sys.argv[1]) / float(sys.argv[2])))' "$1" "$2"
}

# The message both clients send. Sets FROM, TO and SUBJECT; writes a made-up domain template of
# 222 lines, CR LF ended like the written ones, to $BODY, and the very text our client sends after
# DATA to $WORK/message.eml (msmtp sends that as it stands), with an empty msmtp configuration in
# $WORK/empty.rc.
prepare_message() {
    FROM=jane@example.org
    TO=hostmaster@example.net
    SUBJECT="example.com Internic DOMAIN Registration"
    BODY="$WORK/example.com.txt"
    /usr/bin/python3 - "$BODY" <<'PY'
import sys
lines = ["Processed 8 Dec 2026 05:00:00", "", "Domain Version Number: 4.0", ""]
n = 0
while len(lines) < 222:
    n += 1
    lines.append("%d.   Registrant field %d ......: value of field number %d for example.com" % (n, n, n))
with open(sys.argv[1], "wb") as f:
    f.write("".join(l + "\r\n" for l in lines[:222]).encode())
PY
    [ "$(wc -l <"$BODY")" -eq 222 ] || { echo "body is not 222 lines" >&2; exit 1; }
    "$CLI" message --from "$FROM" --name Jane --to "$TO" --subject "$SUBJECT" "$BODY" \
        >"$WORK/message.eml"
    printf '' >"$WORK/empty.rc"
}

# Times the send commands $1 (ours) and $2 (msmtp) with hyperfine, 2 warm-ups and 20 runs each,
# and prints how many times longer msmtp takes, in wall time (ours must not be slower) and in CPU.
compare_with_msmtp() {
    hyperfine --style basic --warmup 2 --runs 20 --export-json "$WORK/send.json" \
        -n regiscribe-cli "$1" -n msmtp "$2"
    local ours peer
    ours=$(mean_of "$WORK/send.json" 0)
    peer=$(mean_of "$WORK/send.json" 1)
    echo "ratio msmtp/regiscribe-cli (mean wall time a send): $(ratio "$peer" "$ours") (must be >= 1.00)"
    echo "ratio msmtp/regiscribe-cli (mean CPU time a send):  $(ratio "$(cpu_of "$WORK/send.json" 1)" "$(cpu_of "$WORK/send.json" 0)")"
}
