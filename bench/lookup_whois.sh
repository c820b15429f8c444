#!/usr/bin/env bash
# A 20 MB WHOIS answer from a local server: regiscribe-cli whois against Debian's whois client,
# as a ratio of wall times (target: at most 1.0), and the peak memory of ours for a 20 MB answer
# against a 2 MB one (flat: the lines are printed as they arrive).
set -euo pipefail
cd "$(dirname "$0")/.."
cli=build/regiscribe-cli
[ -x "$cli" ] || { echo "build first: ./scripts/build.sh" >&2; exit 1; }
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT

start_server() { # size -> port in $port
    /usr/bin/python3 bench/lookup_answer_server.py whois "$1" >"$work/port.$1" &
    pids+=($!)
    for _ in $(seq 50); do [ -s "$work/port.$1" ] && break; sleep 0.1; done
    port=$(cat "$work/port.$1")
}
start_server 20000000
big=$port
start_server 2000000
small=$port

hyperfine --warmup 1 --runs 10 --export-json "$work/times.json" \
    -n whois "/usr/bin/whois -h 127.0.0.1 -p $big example.com >/dev/null" \
    -n regiscribe-cli "$cli whois example.com --server 127.0.0.1:$big >/dev/null"

rss() { /usr/bin/time -f %M "$cli" whois example.com --server "127.0.0.1:$1" 2>&1 >/dev/null | tail -1; }
rss_big=$(rss "$big")
rss_small=$(rss "$small")

/usr/bin/python3 - "$work/times.json" "$rss_big" "$rss_small" <<'PY'
import json, sys
runs = {r["command"]: r["mean"] for r in json.load(open(sys.argv[1]))["results"]}
ratio = runs["regiscribe-cli"] / runs["whois"]
big, small = int(sys.argv[2]), int(sys.argv[3])
print(f"wall time regiscribe-cli / whois: {ratio:.2f} (target <= 1.0) "
      f"[{runs['regiscribe-cli']*1000:.0f} ms vs {runs['whois']*1000:.0f} ms]")
print(f"peak memory 20 MB answer / 2 MB answer: {big / small:.2f} (flat: close to 1) "
      f"[{big} KiB vs {small} KiB]")
PY
