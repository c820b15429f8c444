#!/usr/bin/env bash
# Loading a 53-key domain record file (one open per key): the record store against Python's
# configparser reading the same keys from the same file, measured with hyperfine in one run.
# Prints the ratio of their mean times; fails when the store is not the faster. Needs a build in
# build/ (scripts/build.sh). Not run by ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
loads=${LOADS:-200}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The measuring program links the project's non-visual library.
cmake --build build --target bench_store_load >/dev/null
cp build/bench/bench_store_load "$work/store_load"
"$work/store_load" make "$work/example.com.ini"

hyperfine --warmup 2 --runs 10 --export-json "$work/result.json" \
    -n "record store" "$work/store_load load $work/example.com.ini $loads" \
    -n "configparser" "/usr/bin/python3 bench/store_configparser.py $work/example.com.ini $loads"

/usr/bin/python3 - "$work/result.json" <<'PY'
import json, sys
results = {r["command"]: r["mean"] for r in json.load(open(sys.argv[1]))["results"]}
ours, peer = results["record store"], results["configparser"]
ratio = peer / ours
print("configparser / record store: %.1f (the record store is %.1f times as fast)" % (ratio, ratio))
sys.exit(0 if ratio > 1 else 1)
PY
