#!/usr/bin/env bash
# Builds the Debian package regiscribe_<version>_<arch>.deb in build-deb/ (a Release build for
# /usr, without the tests) and checks it with lintian, which must report no errors.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DREGISCRIBE_BUILD_TESTS=OFF >/dev/null
cmake --build build-deb
(cd build-deb && rm -f regiscribe_*.deb && cpack -G DEB >/dev/null)
deb=$(ls build-deb/regiscribe_*.deb)
echo "built $deb"
if command -v lintian >/dev/null; then
    # lintian reads the package as a user would; its errors fail the build.
    lintian --info "$deb" | tee build-deb/lintian.txt || true
    if grep -q '^E:' build-deb/lintian.txt; then
        echo "lintian reported errors" >&2
        exit 1
    fi
fi
