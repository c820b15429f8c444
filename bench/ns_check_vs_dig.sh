#!/usr/bin/env bash
# The name-server check of a domain with four servers, each an NSD instance on a loopback address
# (port 53, so run as root): `regiscribe-cli check-ns` (which also asks over TCP and resolves the
# servers' names, all at once) against Debian's dig asking the same SOA and NS questions over UDP
# at each of the four servers one after another. Prints how many times longer dig takes (ours
# must be at least 10 times faster). Then four servers that never answer and a resolver that
# answers after 4 seconds (tests/support/quirkydns.py): the check must end within 8 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=build/regiscribe-cli
[ -x "$cli" ] || { echo "build first: ./scripts/build.sh" >&2; exit 1; }
command -v dig >/dev/null || { echo "needs dig (bind9-dnsutils)" >&2; exit 1; }
command -v nsd >/dev/null || { echo "needs nsd" >&2; exit 1; }
work=$(mktemp -d)
pids=()
cleanup() {
    exec 9>&- || true
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
    hosts+="ns$n IN A 127.0.6$n.1"$'\n'
    servers+=("ns$n.example.net=127.0.6$n.1")
done
for n in 1 2 3 4; do start_nsd "127.0.6$n.1" example.com "$zone"; done
start_nsd 127.0.69.1 example.net $'$ORIGIN example.net.\n$TTL 300\n@ IN SOA ns1.example.net. h.example.net. 1 3600 600 86400 300\n@ IN NS ns1.example.net.\n'"$hosts"
export REGISCRIBE_RESOLVER=127.0.69.1
# The servers are on loopback addresses, which the Internet cannot reach: a lab.
export REGISCRIBE_LAB_NETWORKS=127.0.0.0/8

ours="$cli check-ns example.com ${servers[*]} >/dev/null"
peer="for n in 1 2 3 4; do dig +norecurse +noedns +tries=2 +time=3 @127.0.6\$n.1 example.com SOA >/dev/null; dig +norecurse +noedns +tries=2 +time=3 @127.0.6\$n.1 example.com NS >/dev/null; done"
eval "$ours" || { echo "the check found errors" >&2; exit 1; }
eval "$peer"

hyperfine --style basic --warmup 2 --runs 20 --export-json "$work/ns.json" \
    -n regiscribe-cli "$ours" -n dig "$peer"
/usr/bin/python3 - "$work/ns.json" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
ours, dig = results[0]["mean"], results[1]["mean"]
print("ratio dig/regiscribe-cli (mean wall time of a check): %.2f (must be >= 10.00)" % (dig / ours))
sys.exit(0 if dig / ours >= 10 else 1)
PY

# Four silent servers and a slow resolver, each a quirkydns.py that lives while fd 9 is open.
mkfifo "$work/hold"
quirky() {
    /usr/bin/python3 tests/support/quirkydns.py "$@" <"$work/hold" >"$work/$1.port" &
    pids+=("$!")
}
mapping=()
for n in 1 2 3 4; do
    quirky "127.0.7$n.1" 53 silent
    mapping+=(--a "quiet$n.example.net=127.0.7$n.1")
done
quirky 127.0.79.1 53 slow "${mapping[@]}" --delay 4
exec 9>"$work/hold"
for f in "$work"/127.0.7?.1.port; do
    for _ in $(seq 100); do grep -q PORT "$f" && break; sleep 0.05; done
done
start=$(date +%s.%N)
REGISCRIBE_RESOLVER=127.0.79.1 "$cli" check-ns example.com quiet1.example.net quiet2.example.net \
    quiet3.example.net quiet4.example.net >/dev/null || true
end=$(date +%s.%N)
/usr/bin/python3 -c "import sys; t = $end - $start; print('4 silent servers, resolver after 4 s: %.2f s (must be <= 8)' % t); sys.exit(0 if t <= 8 else 1)"
