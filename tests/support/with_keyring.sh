#!/bin/bash
# Runs a command with a private session bus and an unlocked Secret Service (gnome-keyring) whose
# keyrings live in a temporary home, removed afterwards: the keyring tests' real desktop keyring.
# Listing the tests needs no keyring (and must not wait for one to start and stop).
for arg in "$@"; do
    [ "$arg" = "--gtest_list_tests" ] && exec "$@"
done
home=$(mktemp -d) || exit 1
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
    XDG_RUNTIME_DIR="$home/run" XDG_CACHE_HOME="$home/cache"
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset DISPLAY
# The keyring tests refuse to run without it (they would write into the user's own keyring).
export REGISCRIBE_PRIVATE_KEYRING="$home"
dbus-run-session -- sh -c \
    'printf test-keyring | gnome-keyring-daemon --unlock --components=secrets >/dev/null 2>&1 && "$@"' \
    keyring "$@" 2> >(grep -v "Failed to set fd limit" >&2)
status=$?
rm -rf "$home"
exit $status
