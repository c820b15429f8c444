#!/usr/bin/env bash
# How fast the window's look-up tabs show a big answer: a 44,000-line Finger answer in the Finger
# tab and a 20 MB WHOIS answer in the WhoIs tab, each from a local server, against Debian's finger
# and whois printing the same answer from the same server to a file, measured in the same run.
# Ours is timed from the click on LookUp until the whole answer is shown and painted (the program
# built from bench/lookup_display.cpp runs the real window, offscreen unless a display is set).
# Prints each ratio; the target is at most 1.5. Debian's finger only asks port 79, so the Finger
# server listens on 127.0.0.1:79: run as root with that port free. Not run by ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-10}
[ -f build/build.ninja ] || { echo "build first: ./scripts/build.sh" >&2; exit 1; }
for tool in finger whois hyperfine; do
    command -v "$tool" >/dev/null || { echo "needs $tool (scripts/install-deps.sh)" >&2; exit 1; }
done
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT

cmake --build build --target bench_lookup_display >/dev/null
cp build/bench/bench_lookup_display "$work/lookup_display"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

start_server() { # kind amount [port] -> port in $port
    /usr/bin/python3 bench/lookup_answer_server.py "$@" >"$work/port.$1" &
    pids+=($!)
    for _ in $(seq 50); do [ -s "$work/port.$1" ] && break; sleep 0.1; done
    [ -s "$work/port.$1" ] || { echo "the $1 server did not start (port ${3:-any})" >&2; exit 1; }
    port=$(cat "$work/port.$1")
}

# Mean seconds over $runs runs of ours; checks that every run showed `lines` lines.
ours() { # kind port text lines
    /usr/bin/python3 - "$work/lookup_display" "$@" "$runs" <<'PY'
import subprocess, sys
program, kind, port, text, lines, runs = sys.argv[1:]
times = []
for _ in range(int(runs) + 1):
    out = subprocess.run([program, kind, port, text], capture_output=True, text=True, check=True)
    seconds, shown = out.stdout.split()
    if int(shown) < int(lines):
        sys.exit(f"{kind}: the tab showed {shown} lines, expected at least {lines}")
    times.append(float(seconds))
times = times[1:]  # the first run warms the caches
print(sum(times) / len(times))
PY
}

# Mean seconds of a command printing to a file, by hyperfine.
theirs() { # name command
    hyperfine --warmup 1 --runs "$runs" --export-json "$work/$1.json" -n "$1" "$2" >/dev/null
    /usr/bin/python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][0]["mean"])' \
        "$work/$1.json"
}

report() { # label ours theirs peer
    /usr/bin/python3 - "$@" <<'PY'
import sys
label, ours, theirs, peer = sys.argv[1], float(sys.argv[2]), float(sys.argv[3]), sys.argv[4]
print(f"{label}: tab / {peer} = {ours / theirs:.2f} (target <= 1.5) "
      f"[{ours * 1000:.0f} ms vs {theirs * 1000:.0f} ms]")
PY
}

start_server finger 44000 79
finger_ours=$(ours finger 79 127.0.0.1 44000)
finger_theirs=$(theirs finger "finger @127.0.0.1 > $work/finger.txt")
[ "$(wc -l <"$work/finger.txt")" -ge 44000 ] || { echo "finger printed too little" >&2; exit 1; }

start_server whois 20000000
whois_port=$port
whois_ours=$(ours whois "$whois_port" example.com 280000)
whois_theirs=$(theirs whois "whois -h 127.0.0.1 -p $whois_port example.com > $work/whois.txt")

report "44,000-line Finger answer" "$finger_ours" "$finger_theirs" finger
report "20 MB WHOIS answer" "$whois_ours" "$whois_theirs" whois
