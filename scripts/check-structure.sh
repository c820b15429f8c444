#!/usr/bin/env bash
# Checks the shape of the code that the compiler does not: the include layers and circles
# (scripts/check-includes.py), no detached threads, no thread started outside the task pool, and
# behaviours that look another subsystem's behaviour up by type instead of being handed it.
set -uo pipefail
cd "$(dirname "$0")/.."
status=0
python3 scripts/check-includes.py >/dev/null || {
    python3 scripts/check-includes.py | grep VIOLATION
    status=1
}
if grep -rn --include='*.cpp' --include='*.h' -E '\.detach\(\)|std::thread[ (]|QThread::create' src |
    grep -v '^src/platform/tasks\.'; then
    echo "threads are started only by the task pool (src/platform/tasks.h)"
    status=1
fi
# Controls and menu items are found by name; the subsystems' behaviour objects are handed over.
if grep -rn --include='*.cpp' -E 'findChild<(TStore|TTemplates|TMailSubmission|TReplyWatcher|TNameServerCheck)\b' src; then
    echo "a subsystem's behaviour is handed to those that need it, not looked up"
    status=1
fi
[ $status -eq 0 ] && echo "structure: include layers, threads and hand-overs as they should be"
exit $status
