#!/usr/bin/env bash
# Two checked builds with clang, each run through its tests; the first report stops the test that
# made it and fails the run. Prints a summary line per build with the number of reports.
#  - build-check/: everything with AddressSanitizer (leak detection on), UndefinedBehaviorSanitizer,
#    the standard library's assertions and the fuzz targets' coverage; every test.
#  - build-tsan/: ThreadSanitizer, for the test programs whose code runs on several threads
#    (test_platform, test_lookup, test_nscheck) with regiscribe-cli and the modules they start.
# `sanitize.sh asan` or `sanitize.sh tsan` runs one of them.
set -uo pipefail
cd "$(dirname "$0")/.."
# The compiler cache serves every clone and work tree of the project on this machine: paths below
# the project's folder are hashed relative to it, and the working folder is not hashed.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
root=$PWD
which=${1:-all}

# Prints every report file of `$1` and a summary line; succeeds when the tests passed ($2 is
# their status) and there is no report. A file that only says the leak checker could not read a
# thread's registers is a note, not a report: the checker prints it when a thread (or the whole
# process, killed by a test's deadline) ends while it stops the world, and it finds no leak and no
# fault by it. The files are named by program and process id (asan.test_lookup.1234), so a note
# says whose it is.
summarize() {
    local reports=$1 status=$2 name=$3 found f
    for f in "$reports"/*; do
        [ -f "$f" ] || continue
        if ! grep -qvE '^==[0-9]+==Unable to get registers from thread [0-9]+\.$|^$' "$f"; then
            echo "note: ${f##*/}: $(cat "$f")"
            rm -f "$f"
        fi
    done
    found=$(find "$reports" -type f | wc -l)
    for f in "$reports"/*; do [ -f "$f" ] && { echo "=== $f"; cat "$f"; }; done
    echo "$name run: $found reports, tests $([ "$status" -eq 0 ] && echo passed || echo FAILED)"
    [ "$status" -eq 0 ] && [ "$found" -eq 0 ]
}

asan_stage() {
    CC=clang-16 CXX=clang++-16 cmake -S . -B build-check -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DREGISCRIBE_SANITIZE=ON -DREGISCRIBE_FUZZ=ON -DREGISCRIBE_WERROR=ON >/dev/null || return 1
    cmake --build build-check || return 1
    (
        export QT_QPA_PLATFORM=offscreen
        export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-16/bin/llvm-symbolizer
        reports=$root/build-check/sanitizer-reports
        rm -rf "$reports" && mkdir -p "$reports"
        # Reports also go to files, so that one made by a program a test starts is counted too.
        export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:abort_on_error=0:log_path=$reports/asan:log_exe_name=1:detect_stack_use_after_return=0"
        export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$reports/ubsan:suppressions=$root/tests/sanitizers/ubsan.supp"
        export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"
        # The package test installs a Release build and says nothing about this one.
        ctest --test-dir build-check --output-on-failure --timeout 900 -j2 -E '^Package\.'
        summarize "$reports" $? sanitizer
    )
}

tsan_stage() {
    CC=clang-16 CXX=clang++-16 cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DREGISCRIBE_TSAN=ON -DREGISCRIBE_WERROR=ON >/dev/null || return 1
    # The test programs bring regiscribe-cli and the modules along (their dependencies).
    cmake --build build-tsan --target test_platform test_lookup test_nscheck || return 1
    (
        export QT_QPA_PLATFORM=offscreen
        reports=$root/build-tsan/sanitizer-reports
        rm -rf "$reports" && mkdir -p "$reports"
        export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:log_path=$reports/tsan:suppressions=$root/tests/sanitizers/tsan.supp:external_symbolizer_path=/usr/lib/llvm-16/bin/llvm-symbolizer"
        ctest --test-dir build-tsan --output-on-failure --timeout 900 -j2 \
            -L '^test_(platform|lookup|nscheck)$'
        summarize "$reports" $? "thread sanitizer"
    )
}

asan=0 tsan=0
[ "$which" = tsan ] || { asan_stage; asan=$?; }
[ "$which" = asan ] || { tsan_stage; tsan=$?; }
[ $asan -eq 0 ] && [ $tsan -eq 0 ]
