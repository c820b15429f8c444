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

# Starts the aiosmtpd sink on a free loopback port; sets SINK_PORT and SINK_DIR.
start_sink() {
    SINK_DIR="$WORK/received"
    mkdir -p "$SINK_DIR"
    /usr/bin/python3 "$ROOT/tests/mail/smtp_sink.py" "$SINK_DIR" 600 >"$WORK/sink.out" &
    STARTED_PIDS+=($!)
    for _ in $(seq 1 100); do
        grep -q '^PORT ' "$WORK/sink.out" 2>/dev/null && break
        sleep 0.1
    done
    SINK_PORT="$(awk '/^PORT /{print $2}' "$WORK/sink.out")"
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
