#!/usr/bin/env bash
# Sends a 222-line domain template to the same local aiosmtpd 20 times with `regiscribe-cli send`
# and with Debian's msmtp, and prints how many times longer msmtp takes (ours must not be slower:
# the ratio must be 1.00 or more).
source "$(dirname "$0")/mail_common.sh"
start_sink

# A made-up domain template of 222 lines, CR LF ended like the written ones.
BODY="$WORK/example.com.txt"
/usr/bin/python3 - "$BODY" <<'PY'
import sys
lines = ["Processed 8 Dec 2026 05:00:00 UTC", "", "Domain Version Number: 4.0", ""]
n = 0
while len(lines) < 222:
    n += 1
    lines.append("%d.   Registrant field %d ......: value of field number %d for example.com" % (n, n, n))
with open(sys.argv[1], "wb") as f:
    f.write("".join(l + "\r\n" for l in lines[:222]).encode())
PY
[ "$(wc -l <"$BODY")" -eq 222 ] || { echo "body is not 222 lines" >&2; exit 1; }

FROM=jane@example.org
TO=hostmaster@example.net
SUBJECT="example.com Internic DOMAIN Registration"
# msmtp sends the very text our client would send after DATA.
"$CLI" message --from "$FROM" --name Jane --to "$TO" --subject "$SUBJECT" "$BODY" >"$WORK/message.eml"
printf '' >"$WORK/empty.rc"

OURS="$CLI send --server 127.0.0.1:$SINK_PORT --from $FROM --name Jane --to $TO --subject '$SUBJECT' $BODY >/dev/null"
PEER="msmtp --file=$WORK/empty.rc --host=127.0.0.1 --port=$SINK_PORT --auth=off --tls=off --from=$FROM -- $TO <$WORK/message.eml"

hyperfine --style basic --warmup 2 --runs 20 --export-json "$WORK/send.json" \
    -n regiscribe-cli "$OURS" -n msmtp "$PEER"
received=$(ls "$SINK_DIR"/*.eml | wc -l)
echo "messages received by the sink: $received (expected 44)"
ours=$(mean_of "$WORK/send.json" 0)
peer=$(mean_of "$WORK/send.json" 1)
echo "ratio msmtp/regiscribe-cli (mean wall time a send): $(ratio "$peer" "$ours") (must be >= 1.00)"
echo "ratio msmtp/regiscribe-cli (mean CPU time a send):  $(ratio "$(cpu_of "$WORK/send.json" 1)" "$(cpu_of "$WORK/send.json" 0)")"
