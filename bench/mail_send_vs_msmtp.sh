#!/usr/bin/env bash
# Sends a 222-line domain template to the same local aiosmtpd 20 times with `regiscribe-cli send`
# and with Debian's msmtp, and prints how many times longer msmtp takes (ours must not be slower:
# the ratio must be 1.00 or more).
source "$(dirname "$0")/mail_common.sh"
start_sink

prepare_message

OURS="$CLI send --server 127.0.0.1:$SINK_PORT --from $FROM --name Jane --to $TO --subject '$SUBJECT' $BODY >/dev/null"
PEER="msmtp --file=$WORK/empty.rc --host=127.0.0.1 --port=$SINK_PORT --auth=off --tls=off --from=$FROM -- $TO <$WORK/message.eml"

compare_with_msmtp "$OURS" "$PEER"
echo "messages received by the sink: $(ls "$SINK_DIR"/*.eml | wc -l) (expected 44)"
