#!/usr/bin/env bash
# Runs one fuzz target for a while: scripts/fuzz.sh TARGET SECONDS (TARGET as in fuzz/TARGET_fuzz.cpp).
# Needs the checked build (scripts/sanitize.sh builds it). New inputs go to a working corpus in
# build-check/fuzz-corpus/TARGET, seeded from fuzz/corpus/TARGET; an input that breaks a property
# is kept as build-check/fuzz-artifacts/TARGET-crash-... (add it to fuzz/corpus/TARGET with the fix).
# Prints "TARGET: N executions in S s" and fails when the target found a fault.
set -uo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: scripts/fuzz.sh TARGET SECONDS}
seconds=${2:-60}
program=build-check/fuzz/fuzz_$target
[ -x "$program" ] || { echo "no $program: run scripts/sanitize.sh first" >&2; exit 2; }
corpus=build-check/fuzz-corpus/$target
mkdir -p "$corpus" build-check/fuzz-artifacts
cp -n fuzz/corpus/"$target"/* "$corpus"/ 2>/dev/null
log=build-check/fuzz-artifacts/$target.log
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen
"$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix=build-check/fuzz-artifacts/"$target"- "$corpus" >"$log" 2>&1
status=$?
runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$')
echo "$target: ${runs:-0} executions in $seconds s, corpus $(ls "$corpus" | wc -l) inputs"
if [ $status -ne 0 ]; then
    echo "$target FOUND A FAULT (exit $status); the log:" && tail -60 "$log"
fi
exit $status
