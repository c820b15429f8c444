#!/usr/bin/env bash
# Runs every fuzz target for SECONDS each (default 40), two at a time, and prints each one's
# executions. Fails when any target found a fault.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-40}
targets=()
for source in fuzz/*_fuzz.cpp; do
    name=$(basename "$source" _fuzz.cpp)
    targets+=("$name")
done
printf '%s\n' "${targets[@]}" | xargs -P 2 -I{} ./scripts/fuzz.sh {} "$seconds" >build-check/fuzz-all.log 2>&1
status=$?
cat build-check/fuzz-all.log
echo "fuzz stage: ${#targets[@]} targets, $seconds s each, $([ $status -eq 0 ] && echo 'no faults' || echo 'FAULTS FOUND')"
exit $status
