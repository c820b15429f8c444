#!/usr/bin/env bash
# The name-server check of a domain with four servers, each an NSD instance on a loopback address
# (port 53, so run as root): `regiscribe-cli check-ns` (which also asks over TCP and resolves the
# servers' names, all at once) against Debian's dig asking the same SOA and NS questions over UDP
# at each of the four servers one after another. Prints how many times longer dig takes (ours
# must not be slower: 1.00 or more).
set -euo pipefail
cd "$(dirname "$0")/.."
cli=build/regiscribe-cli
[ -x "$cli" ] || { echo "build first: ./scripts/build.sh" >&2; exit 1; }
command -v dig >/dev/null || { echo "needs dig (bind9-dnsutils)" >&2; exit 1; }
command -v nsd >/dev/null || { echo "needs nsd" >&2; exit 1; }
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# start_nsd ADDRESS ZONE ZONEFILE-TEXT: an NSD daemon, stopped by its process id at the end.
start_nsd() {
    local dir="$work/$1" address=$1 zone=$2
    mkdir -p "$dir"
    printf '%s' "$3" >"$dir/$zone.zone"
    cat >"$dir/nsd.conf" <<CONF
server:
  ip-address: $address
  port: 53
  zonesdir: "$dir"
  pidfile: "$dir/nsd.pid"
  logfile: "$dir/nsd.log"
  username: ""
  database: ""
  xfrdfile: "$dir/xfrd.state"
  zonelistfile: "$dir/zone.list"
  xfrdir: "$dir"
  do-ip6: no
  server-count: 1
remote-control:
  control-enable: no
zone:
  name: $zone
  zonefile: $zone.zone
CONF
    nsd -c "$dir/nsd.conf" || { echo "nsd did not start on $address (needs root)" >&2; exit 1; }
    for _ in $(seq 100); do [ -s "$dir/nsd.pid" ] && break; sleep 0.05; done
    pids+=("$(cat "$dir/nsd.pid")")
}

zone=$'$ORIGIN example.com.\n$TTL 300\n@ IN SOA ns1.example.net. hostmaster.example.com. 2026120801 3600 600 86400 300\n'
hosts=""
servers=()
for n in 1 2 3 4; do
    zone+="@ IN NS ns$n.example.net."$'\n'
    hosts+="ns$n IN A 127.0.$n.1"$'\n'
    servers+=("ns$n.example.net=127.0.$n.1")
done
for n in 1 2 3 4; do start_nsd "127.0.$n.1" example.com "$zone"; done
start_nsd 127.0.9.1 example.net $'$ORIGIN example.net.\n$TTL 300\n@ IN SOA ns1.example.net. h.example.net. 1 3600 600 86400 300\n@ IN NS ns1.example.net.\n'"$hosts"
export REGISCRIBE_RESOLVER=127.0.9.1

ours="$cli check-ns example.com ${servers[*]} >/dev/null"
peer="for n in 1 2 3 4; do dig +norecurse +noedns +tries=2 +time=3 @127.0.\$n.1 example.com SOA >/dev/null; dig +norecurse +noedns +tries=2 +time=3 @127.0.\$n.1 example.com NS >/dev/null; done"
eval "$ours" || { echo "the check found errors" >&2; exit 1; }
eval "$peer"

hyperfine --style basic --warmup 2 --runs 20 --export-json "$work/ns.json" \
    -n regiscribe-cli "$ours" -n dig "$peer"
/usr/bin/python3 - "$work/ns.json" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
ours, dig = results[0]["mean"], results[1]["mean"]
print("ratio dig/regiscribe-cli (mean wall time of a check): %.2f (must be >= 1.00)" % (dig / ours))
PY
