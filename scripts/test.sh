#!/usr/bin/env bash
# Checks the formatting (scripts/format.sh --check) and the code's structure
# (scripts/check-structure.sh), runs every test headless, then the same tests
# again in the checked build (AddressSanitizer, UndefinedBehaviorSanitizer; scripts/sanitize.sh,
# which also runs the threaded parts' tests under ThreadSanitizer) and every fuzz target for a short while (scripts/fuzz-all.sh). Every stage runs; the script fails when any of them did.
set -uo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
./scripts/format.sh --check
formatted=$?
./scripts/check-structure.sh
structured=$?
ctest --test-dir build --output-on-failure --timeout 600 -j2
tests=$?
./scripts/sanitize.sh
sanitized=$?
fuzzed=1
if [ -d build-check/fuzz ]; then
    ./scripts/fuzz-all.sh "${REGISCRIBE_FUZZ_SECONDS:-30}"
    fuzzed=$?
fi
echo "formatting: $([ $formatted -eq 0 ] && echo passed || echo FAILED);" \
     "structure: $([ $structured -eq 0 ] && echo passed || echo FAILED);" \
     "tests: $([ $tests -eq 0 ] && echo passed || echo FAILED);" \
     "checked build: $([ $sanitized -eq 0 ] && echo passed || echo FAILED);" \
     "fuzzing: $([ $fuzzed -eq 0 ] && echo passed || echo FAILED)"
[ $formatted -eq 0 ] && [ $structured -eq 0 ] && [ $tests -eq 0 ] && [ $sanitized -eq 0 ] && [ $fuzzed -eq 0 ]
