#!/usr/bin/env bash
# Signing a domain template: 50 runs of `regiscribe-cli sign` against 50 runs of
# `gpg --clearsign` with the same key in a GnuPG home made for the run, and prints how many times
# longer ours takes (at most 2.0). Then a 67 MB text signed and the signature checked: the peak
# memory of `sign` and of `verify --quiet` against the file's size (at most 3x).
source "$(dirname "$0")/mail_common.sh"

export GNUPGHOME="$WORK/gnupg"
mkdir -m 700 "$GNUPGHOME"
stop_agent() { gpgconf --kill gpg-agent 2>/dev/null || true; }
trap 'stop_agent; cleanup' EXIT
gpg --batch --pinentry-mode loopback --passphrase '' \
    --quick-gen-key "Bench Signer <bench@example.test>" ed25519 sign never 2>/dev/null
KEY=$(gpg --with-colons --list-keys bench@example.test | awk -F: '/^fpr:/ {print $10; exit}')
[ -n "$KEY" ] || { echo "gpg made no key" >&2; exit 1; }

# The template as the program writes it, in the scratch folder.
cd "$WORK"
"$CLI" write domain bench.example --set AuthScheme=PGP >/dev/null
TEMPLATE="$WORK/domains/bench.example.txt"
[ -s "$TEMPLATE" ] || { echo "no template was written" >&2; exit 1; }

hyperfine --style basic --warmup 3 --runs 50 --export-json "$WORK/sign.json" \
    -n regiscribe-cli "$CLI sign --key $KEY $TEMPLATE >/dev/null" \
    -n gpg "gpg --batch --yes --clearsign -u $KEY -o - $TEMPLATE >/dev/null"
ours=$(mean_of "$WORK/sign.json" 0)
peer=$(mean_of "$WORK/sign.json" 1)
echo "ratio regiscribe-cli/gpg (mean wall time of one sign): $(ratio "$ours" "$peer") (must be <= 2.0)"

BIG="$WORK/big.txt"
/usr/bin/python3 - "$BIG" <<'PY'
import sys
line = b"Domain Name: example-%07d.test    Registrant: Jane Registrant, Example Street 1\n"
with open(sys.argv[1], "wb") as out:
    i = 0
    while out.tell() < 67 * 1000 * 1000:
        out.write(line % i)
        i += 1
PY
size=$(stat -c %s "$BIG")
peak() { /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ {print $2 * 1024}'; }
sign_peak=$(peak "$CLI" sign --key "$KEY" "$BIG")
"$CLI" sign --key "$KEY" "$BIG" >"$WORK/big.asc"
verify_peak=$(peak "$CLI" verify --quiet "$WORK/big.asc")
echo "sign of $size bytes: peak memory $(ratio "$sign_peak" "$size")x the file (must be <= 3.0)"
echo "verify of the signed file: peak memory $(ratio "$verify_peak" "$size")x the file (must be <= 3.0)"
