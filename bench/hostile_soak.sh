#!/usr/bin/env bash
# The hostile-peer soak: 500 sends and 500 look-ups (or: bench/hostile_soak.sh SENDS LOOKUPS)
# against loopback peers cycling through silence, a reset at each protocol step, garbage, a 1 MB
# line, one byte a second, a half-open connection and a garbage TLS handshake. The program runs
# them all in one process, so a crash ends it: the script counts that as the crash.
# Target: no crash, no attempt over its time limit, no growth of descriptors, no temporary files.
set -uo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target bench_hostile_soak >/dev/null || exit 1
/usr/bin/time -v build/bench/bench_hostile_soak "${1:-500}" "${2:-500}" 2>build/soak-time.txt
status=$?
grep -E "Maximum resident|Elapsed" build/soak-time.txt
if [ $status -ne 0 ]; then
    echo "crashes: 1 (the soak program ended with status $status)"
    exit 1
fi
echo "crashes: 0"
