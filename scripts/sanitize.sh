#!/usr/bin/env bash
# Builds everything with clang, AddressSanitizer (leak detection on), UndefinedBehaviorSanitizer,
# the standard library's assertions and the fuzz targets' coverage into build-check/, then runs
# every test there. The first report stops the test that made it and fails the run. Prints a
# summary line with the number of reports.
set -uo pipefail
cd "$(dirname "$0")/.."
# The compiler cache serves every clone and work tree of the project on this machine: paths below
# the project's folder are hashed relative to it, and the working folder is not hashed.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
root=$PWD
CC=clang-16 CXX=clang++-16 cmake -S . -B build-check -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DREGISCRIBE_SANITIZE=ON -DREGISCRIBE_FUZZ=ON -DREGISCRIBE_WERROR=ON >/dev/null || exit 1
cmake --build build-check || exit 1

export QT_QPA_PLATFORM=offscreen
export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-16/bin/llvm-symbolizer
reports=$root/build-check/sanitizer-reports
rm -rf "$reports" && mkdir -p "$reports"
# Reports also go to files, so that one made by a program a test starts is counted too.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:abort_on_error=0:log_path=$reports/asan:detect_stack_use_after_return=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$reports/ubsan:suppressions=$root/tests/sanitizers/ubsan.supp"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"
# The package test installs a Release build and says nothing about this one.
ctest --test-dir build-check --output-on-failure --timeout 900 -j2 -E '^Package\.'
status=$?
found=$(find "$reports" -type f | wc -l)
for f in "$reports"/*; do [ -f "$f" ] && { echo "=== $f"; cat "$f"; }; done
echo "sanitizer run: $found reports, tests $([ $status -eq 0 ] && echo passed || echo FAILED)"
[ $status -eq 0 ] && [ "$found" -eq 0 ]
