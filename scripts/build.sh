#!/usr/bin/env bash
# Configures and builds everything into build/ (the programs and the tests); a compiler warning
# fails the build.
set -euo pipefail
cd "$(dirname "$0")/.."
# The compiler cache serves every clone and work tree of the project on this machine: paths below
# the project's folder are hashed relative to it, and the working folder is not hashed.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DREGISCRIBE_WERROR=ON >/dev/null
cmake --build build
