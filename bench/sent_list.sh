#!/usr/bin/env bash
# How fast Sent Registrations lists a 10 MB sent.log: the program's window (built from
# bench/sent_list.cpp, offscreen unless a display is set) timed from File > Sent Registrations...
# until the rows are listed and painted (the replies' statuses read too), beside `wc -l` counting
# the lines of the same file (hyperfine), in the same run.
# Prints both times and their ratio; fails when the window takes more than 0.5 s, lists fewer rows
# than the file has lines, or keeps rows after it is closed. Needs a build in build/
# (scripts/build.sh). Not run by ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-10}
bytes=${BYTES:-10000000}
[ -f build/build.ninja ] || { echo "build first: ./scripts/build.sh" >&2; exit 1; }
command -v hyperfine >/dev/null || { echo "needs hyperfine (scripts/install-deps.sh)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --build build --target bench_sent_list >/dev/null
cp build/bench/bench_sent_list "$work/sent_list"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
# The program's settings of this run only.
export HOME=$work XDG_CONFIG_HOME=$work/config
"$work/sent_list" make "$work" "$bytes"
log="$work/sent/sent.log"
lines=$(wc -l <"$log")

measured=$(/usr/bin/python3 - "$work/sent_list" "$work" "$lines" "$runs" <<'PY'
import subprocess, sys
program, folder, lines, runs = sys.argv[1:]
times, filters = [], []
for _ in range(int(runs) + 1):
    out = subprocess.run([program, "open", folder], capture_output=True, text=True, check=True)
    seconds, listed, left, filtered = out.stdout.split()
    if int(listed) != int(lines):
        sys.exit(f"the window listed {listed} rows of {lines} lines")
    if int(left) != 0:
        sys.exit(f"{left} rows kept after closing")
    times.append(float(seconds))
    filters.append(float(filtered))
times, filters = times[1:], filters[1:]  # the first run warms the caches
print(sum(times) / len(times), sum(filters) / len(filters))
PY
)
read -r ours filter <<<"$measured"
hyperfine -N --warmup 2 --runs "$runs" --export-json "$work/wc.json" -n "wc -l" "wc -l $log" >/dev/null
theirs=$(/usr/bin/python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][0]["mean"])' \
    "$work/wc.json")

/usr/bin/python3 - "$ours" "$theirs" "$lines" "$(stat -c %s "$log")" "$filter" <<'PY'
import sys
ours, theirs, lines, size = float(sys.argv[1]), float(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
print(f"{size / 1e6:.1f} MB sent.log, {lines} lines: window {ours * 1000:.0f} ms, "
      f"wc -l {theirs * 1000:.1f} ms (window / wc -l = {ours / theirs:.0f}); target <= 500 ms")
print(f"a letter typed into the filter: {float(sys.argv[5]) * 1000:.0f} ms")
sys.exit(0 if ours <= 0.5 else 1)
PY
