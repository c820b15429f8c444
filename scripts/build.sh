#!/usr/bin/env bash
# Configures and builds everything into build/ (the programs and the tests); a compiler warning
# fails the build.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DREGISCRIBE_WERROR=ON >/dev/null
cmake --build build
