#!/usr/bin/env bash
# Quoted-printable encoding of a 10 MB body with `regiscribe-cli encode qp` against Python's
# quopri module, and prints how many times longer quopri takes (ours must be faster: the ratio
# must be above 1.00).
source "$(dirname "$0")/mail_common.sh"

BODY="$WORK/body.txt"
/usr/bin/python3 - "$BODY" <<'PY'
import random, sys
random.seed(1)
words = ["registrant", "contact", "=", "caf\u00e9", "nameserver", "\t", "example.com", "a" * 40]
out = bytearray()
while len(out) < 10 * 1024 * 1024:
    n = random.choice([10, 60, 70, 120, 300])
    line = " ".join(random.choice(words) for _ in range(n // 8 + 1))[:n]
    out += line.encode() + b"\r\n"
open(sys.argv[1], "wb").write(out[: 10 * 1024 * 1024])
PY

hyperfine --style basic --warmup 2 --runs 10 --export-json "$WORK/qp.json" \
    -n regiscribe-cli "$CLI encode qp <$BODY >/dev/null" \
    -n quopri "/usr/bin/python3 -m quopri <$BODY >/dev/null"
ours=$(mean_of "$WORK/qp.json" 0)
peer=$(mean_of "$WORK/qp.json" 1)
echo "ratio quopri/regiscribe-cli (mean wall time for 10 MB): $(ratio "$peer" "$ours") (must be > 1.00)"
echo "ratio quopri/regiscribe-cli (mean CPU time for 10 MB):  $(ratio "$(cpu_of "$WORK/qp.json" 1)" "$(cpu_of "$WORK/qp.json" 0)")"
