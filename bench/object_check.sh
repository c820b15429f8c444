#!/usr/bin/env bash
# `regiscribe-cli object check` of 10,000 route objects in the shape of a RIPE split file
# (ripe.db.route: one class, objects one empty line apart, the registry's created: and
# last-modified: lines), made here, against Debian's Python splitting the same file and matching
# the same rules written below with its regular expressions. Prints how many times longer Python
# takes; ours must not be slower (the ratio must be at least 1.00). Needs a build in build/.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
CLI="${REGISCRIBE_CLI:-$ROOT/build/regiscribe-cli}"
[ -x "$CLI" ] || { echo "build first: $CLI is missing" >&2; exit 1; }
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
# An empty keyring of its own: the check asks none for routes, and touches no user's.
export GNUPGHOME="$WORK/gnupg"
mkdir -m 700 "$GNUPGHOME"

/usr/bin/python3 - "$WORK/ripe.db.route" <<'PY'
import random, sys
random.seed(7)
out = []
for n in range(10000):
    a, b, c = random.randint(1, 223), random.randint(0, 255), random.randint(0, 255)
    if a in (10, 127, 100, 169, 172, 192, 198, 203):
        a = 193
    length = random.choice([16, 19, 20, 21, 22, 23, 24])
    value = (a << 24) | (b << 16) | (c << 8)
    value &= (0xFFFFFFFF << (32 - length)) & 0xFFFFFFFF
    prefix = "%d.%d.%d.%d/%d" % (value >> 24, (value >> 16) & 255, (value >> 8) & 255, value & 255, length)
    origin = random.choice([3333, 1103, 8075, 12654, 20940, 39120, 196615, 204092])
    lines = ["route:          " + prefix]
    for d in range(random.choice([1, 1, 2])):
        lines.append("descr:          Customer network %d" % (n + d))
    lines.append("origin:         AS%d" % origin)
    if n % 7 == 0:
        lines.append("member-of:      AS%d:RS-CUSTOMERS" % origin)
    lines.append("mnt-by:         MNT-%d" % (n % 97))
    if n % 3 == 0:
        lines.append("mnt-by:         LIR%d-MNT" % (n % 13))
    lines.append("created:        20%02d-0%d-1%dT08:1%d:00Z" % (n % 20, n % 9 + 1, n % 10, n % 10))
    lines.append("last-modified:  2026-0%d-2%dT12:00:00Z" % (n % 9 + 1, n % 10))
    lines.append("source:         RIPE")
    out.append("\n".join(lines))
open(sys.argv[1], "w").write("\n\n".join(out) + "\n")
PY

# The same rules for the route class, as Python states them: the attributes the class has,
# which are mandatory and which once only, the registry's generated ones, the prefix (short
# forms taken, host bits and bogons refused), the origin (no leading zero, not reserved), the
# maintainer and set names, and the source.
cat >"$WORK/check.py" <<'PY'
import re, sys
ATTRIBUTES = {"route": "M1", "descr": "O*", "origin": "M1", "pingable": "O*", "ping-hdl": "O*",
              "holes": "O*", "org": "O*", "member-of": "O*", "inject": "O*", "aggr-mtd": "O1",
              "aggr-bndry": "O1", "export-comps": "O1", "components": "O1", "remarks": "O*",
              "notify": "O*", "mnt-lower": "O*", "mnt-routes": "O*", "mnt-by": "M*",
              "created": "G1", "last-modified": "G1", "changed": "G*", "source": "M1"}
RESERVED_WORDS = set("ANY AS-ANY RS-ANY PEERAS AND OR NOT ATOMIC FROM TO AT ACTION ACCEPT ANNOUNCE "
                     "EXCEPT REFINE NETWORKS INTO INBOUND OUTBOUND".split())
RESERVED_AS = [(0, 0), (23456, 23456), (64496, 131071), (4200000000, 4294967295)]
BOGONS = [("0.0.0.0", 8), ("10.0.0.0", 8), ("100.64.0.0", 10), ("127.0.0.0", 8),
          ("169.254.0.0", 16), ("172.16.0.0", 12), ("192.0.0.0", 24), ("192.0.2.0", 24),
          ("192.168.0.0", 16), ("198.18.0.0", 15), ("198.51.100.0", 24), ("203.0.113.0", 24),
          ("224.0.0.0", 4), ("240.0.0.0", 4)]
ATTRIBUTE_LINE = re.compile(r"^([A-Za-z0-9_-]+):(.*)$")
PREFIX = re.compile(r"^(\d{1,3})(?:\.(\d{1,3}))?(?:\.(\d{1,3}))?(?:\.(\d{1,3}))?/(\d{1,2})$")
ORIGIN = re.compile(r"^AS(0|[1-9][0-9]*)$", re.I)
NAME = re.compile(r"^[A-Za-z]([A-Za-z0-9_-]{0,78}[A-Za-z0-9])?$")
SET_PART = re.compile(r"^(AS(0|[1-9][0-9]*)|RS-[A-Za-z0-9_-]*[A-Za-z0-9])$", re.I)

def number(text):
    parts = text.split(".")
    return sum(int(p) << (24 - 8 * i) for i, p in enumerate(parts))

BOGON_NETS = [(number(a), l) for a, l in BOGONS]

def prefix_problem(value):
    m = PREFIX.match(value)
    if not m or any(g is not None and int(g) > 255 for g in m.groups()[:4]) or int(m.group(5)) > 32:
        return "Syntax error in %s" % value
    octets = [int(g) for g in m.groups()[:4] if g is not None] + [0] * 4
    address = sum(o << (24 - 8 * i) for i, o in enumerate(octets[:4]))
    length = int(m.group(5))
    mask = (0xFFFFFFFF << (32 - length)) & 0xFFFFFFFF
    if address & ~mask & 0xFFFFFFFF:
        return "Syntax error in %s" % value
    for net, bits in BOGON_NETS:
        if length >= bits and (address >> (32 - bits) if bits else 0) == (net >> (32 - bits) if bits else 0):
            return "Bogon prefix %s is not allowed." % value
    return None

def name_problem(name):
    if not NAME.match(name) or name.upper() in RESERVED_WORDS or name.upper().startswith(("AS-", "RS-")):
        return "Syntax error in %s" % name
    return None

def check(obj):
    lines, counts = [], {}
    for name, value in obj:
        rule = ATTRIBUTES.get(name)
        if rule is None:
            lines.append("error   %s: \"%s\" is not a known RPSL attribute" % (name, name))
            continue
        counts[name] = counts.get(name, 0) + 1
        if counts[name] == 2 and rule[1] == "1":
            lines.append("error   %s: Attribute \"%s\" appears more than once" % (name, name))
        if rule[0] == "G":
            if counts[name] == 1:
                lines.append("warning %s: set by the registry: left out of the message" % name)
            continue
        value = value.split("#")[0].strip()
        problem = None
        if name == "route":
            problem = prefix_problem(value)
        elif name == "origin":
            m = ORIGIN.match(value)
            if not m or int(m.group(1)) > 4294967295:
                problem = "Syntax error in %s" % value
            elif any(low <= int(m.group(1)) <= high for low, high in RESERVED_AS):
                problem = "Cannot use reserved AS number %s" % m.group(1)
        elif name in ("mnt-by", "mnt-lower"):
            for item in value.split(","):
                problem = problem or name_problem(item.strip())
        elif name == "member-of":
            for item in value.split(","):
                parts = item.strip().split(":")
                if not all(SET_PART.match(p) for p in parts) or not any(p.upper().startswith("RS-") for p in parts):
                    problem = problem or "Syntax error in %s" % item.strip()
        elif name == "source" and value.upper() != "RIPE":
            problem = "The source %s is not this registry's: RIPE" % value
        if problem:
            lines.append("error   %s: %s" % (name, problem))
    for name, rule in ATTRIBUTES.items():
        if rule[0] == "M" and name not in counts:
            lines.append("error   %s: Mandatory attribute \"%s\" is missing" % (name, name))
    return lines

def main():
    text = open(sys.argv[1], encoding="utf-8").read()
    out, objects, warnings, errors = [], 0, 0, 0
    for block in text.split("\n\n"):
        obj = []
        for line in block.split("\n"):
            if not line:
                continue
            if line[0] in " \t+" and obj:
                obj[-1] = (obj[-1][0], obj[-1][1] + " " + line[1:].strip())
                continue
            m = ATTRIBUTE_LINE.match(line)
            if m:
                obj.append((m.group(1).lower(), m.group(2).strip()))
        if not obj:
            continue
        objects += 1
        key = obj[0][1] + "".join(v for n, v in obj if n == "origin")
        out.append("%s: route %s" % (sys.argv[1], key))
        lines = check(obj) or ["ok      route %s: no errors or warnings under the RIPE rules" % key]
        warnings += sum(l.startswith("warning") for l in lines)
        errors += sum(l.startswith("error") for l in lines)
        out.extend(lines)
    out.append("%d objects: %d warnings, %d errors" % (objects, warnings, errors))
    sys.stdout.write("\n".join(out) + "\n")
    return 1 if errors else 0

sys.exit(main())
PY

# Both must reach the same verdict before their times are compared.
ours_summary=$("$CLI" object check --registry ripe "$WORK/ripe.db.route" | tail -1)
peer_summary=$(/usr/bin/python3 "$WORK/check.py" "$WORK/ripe.db.route" | tail -1)
echo "regiscribe-cli: $ours_summary"
echo "python3:        $peer_summary"
[ "$ours_summary" = "$peer_summary" ] || { echo "the two checks disagree" >&2; exit 1; }

hyperfine --style basic --warmup 2 --runs 10 --export-json "$WORK/check.json" \
    -n regiscribe-cli "$CLI object check --registry ripe $WORK/ripe.db.route >/dev/null" \
    -n python3 "/usr/bin/python3 $WORK/check.py $WORK/ripe.db.route >/dev/null"
/usr/bin/python3 - "$WORK/check.json" <<'PY'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
ours, peer = results["regiscribe-cli"], results["python3"]
ratio = peer["mean"] / ours["mean"]
cpu = (peer["user"] + peer["system"]) / (ours["user"] + ours["system"])
print("ratio python3/regiscribe-cli (mean wall time, 10,000 objects): %.2f (must be >= 1.00)" % ratio)
print("ratio python3/regiscribe-cli (mean CPU time):                  %.2f" % cpu)
sys.exit(0 if ratio >= 1.0 else 1)
PY
