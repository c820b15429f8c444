#!/usr/bin/env bash
# Builds the Debian package, installs it with apt-get as a user would, runs the installed
# programs and manual page from /usr, removes the package and checks that nothing it installed is
# left. Needs root; exits with 77 (skipped) without it, or when a copy of the package is already
# installed.
set -uo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "not root: the package was not installed"; exit 77; }
if dpkg-query -W -f='${Status}' regiscribe 2>/dev/null | grep -q installed; then
    echo "regiscribe is installed already: the package test leaves it alone"
    exit 77
fi
mkdir -p build-deb
./scripts/package.sh >build-deb/package.log 2>&1 || { cat build-deb/package.log; exit 1; }
deb=$(ls "$PWD"/build-deb/regiscribe_*.deb)
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >build-deb/apt-install.log 2>&1 ||
    { cat build-deb/apt-install.log; exit 1; }
mapfile -t installed < <(dpkg -L regiscribe)

config=$(mktemp -d)
version=$(cd / && XDG_CONFIG_HOME=$config /usr/bin/regiscribe-cli --version)
[ "$version" = "regiscribe-cli 1.71
Settings file: $config/regiscribe/regiscribe.ini" ] || fail "regiscribe-cli --version says: $version"
rm -rf "$config"
[ "$(man -w regiscribe-cli)" = /usr/share/man/man1/regiscribe-cli.1.gz ] ||
    fail "man -w regiscribe-cli says: $(man -w regiscribe-cli)"
[ -x /usr/bin/regiscribe ] || fail "no /usr/bin/regiscribe"

DEBIAN_FRONTEND=noninteractive apt-get remove -y -q regiscribe >build-deb/apt-remove.log 2>&1 ||
    { cat build-deb/apt-remove.log; fail "apt-get remove"; }
for path in "${installed[@]}"; do
    [ -d "$path" ] && continue
    [ -e "$path" ] && fail "left behind: $path"
done
dpkg-query -W -f='${Status}\n' regiscribe 2>/dev/null | grep -q "install ok installed" &&
    fail "the package is still installed"

echo "lintian:"
grep -E '^[EW]:' build-deb/lintian.txt || echo "(no errors, no warnings)"
[ $failures -eq 0 ] && echo "package checks passed (${#installed[@]} paths installed and removed)"
exit $((failures > 0))
