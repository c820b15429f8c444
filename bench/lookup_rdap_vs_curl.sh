#!/usr/bin/env bash
# 20 RDAP look-ups of a domain whose registry answer links the registrar's: `regiscribe-cli rdap`
# against curl fetching the same three URLs (the bootstrap file, the registry's answer, the
# registrar's answer) from the same local HTTPS server, measured with hyperfine in one run.
# Prints the ratio of their mean wall times (target: ours at most 1.5 times curl's).
set -euo pipefail
cd "$(dirname "$0")/.."
cli=build/regiscribe-cli
[ -x "$cli" ] || { echo "build first: ./scripts/build.sh" >&2; exit 1; }
command -v curl >/dev/null || { echo "needs curl" >&2; exit 1; }
work=$(mktemp -d)
server_pid=
cleanup() { [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

source bench/test_ca.sh
source bench/server_port.sh
make_test_ca "$work"

cp tests/lookup/rdap/routes.json "$work/routes.json"
# The server ends when its standard input closes: a FIFO this script holds open.
mkfifo "$work/server.in"
/usr/bin/python3 tests/lookup/rdap/rdap_server.py --cert "$work/server.pem" \
    --key "$work/server.key" --routes "$work/routes.json" --log "$work/requests.log" \
    --var EXPIRED=1 <"$work/server.in" >"$work/server.out" &
server_pid=$!
exec 3>"$work/server.in"
port=$(port_from "$work/server.out")
[ -n "$port" ] || { echo "the RDAP server did not start" >&2; exit 1; }
base="https://localhost:$port"

export REGISCRIBE_CA_FILE="$work/ca.pem" XDG_CACHE_HOME="$work/cache"
ours="$cli rdap example.com --bootstrap $base/bootstrap/ >/dev/null"
peer="curl -sSf --cacert $work/ca.pem -H 'Accept: application/rdap+json' $base/bootstrap/dns.json $base/com/domain/example.com $base/registrar/domain/example.com >/dev/null"
eval "$ours" && eval "$peer" || { echo "a look-up failed" >&2; exit 1; }

hyperfine --style basic --warmup 2 --runs 20 --export-json "$work/rdap.json" \
    -n regiscribe-cli "$ours" -n curl "$peer"
/usr/bin/python3 - "$work/rdap.json" <<'PY'
import json, sys
r = {x["command"]: x["mean"] for x in json.load(open(sys.argv[1]))["results"]}
ratio = r["regiscribe-cli"] / r["curl"]
print(f"wall time regiscribe-cli / curl: {ratio:.2f} (target <= 1.5) "
      f"[{r['regiscribe-cli'] * 1000:.0f} ms vs {r['curl'] * 1000:.0f} ms]")
PY
