#!/usr/bin/env bash
# Sends a 222-line domain template 20 times over STARTTLS with AUTH PLAIN to the same local
# aiosmtpd, with `regiscribe-cli send` and with Debian's msmtp configured the same way (the same
# test authority trusted, the same password from a command), and prints how many times longer
# msmtp takes (ours must not be slower: the ratio must be 1.00 or more).
source "$(dirname "$0")/mail_common.sh"

# A test authority and a certificate for localhost, made for this run.
source "$(dirname "$0")/test_ca.sh"
make_test_ca "$WORK"

mkdir -p "$WORK/saved"
# The server ends when its standard input closes: a FIFO this script holds open.
mkfifo "$WORK/server.in"
/usr/bin/python3 "$ROOT/tests/mail/submission_server.py" --save "$WORK/saved" \
    --lifetime 600 --starttls "$WORK/server.pem" "$WORK/server.key" --auth jane:s3cret \
    <"$WORK/server.in" >"$WORK/server.out" &
STARTED_PIDS+=($!)
exec 3>"$WORK/server.in"
PORT="$(port_from "$WORK/server.out")"
[ -n "$PORT" ] || { echo "the SMTP server did not start" >&2; exit 1; }

prepare_message
export REGISCRIBE_CA_FILE="$WORK/ca.pem"

OURS="$CLI send --server localhost:$PORT --security starttls --user jane --password-command 'echo s3cret' --from $FROM --name Jane --to $TO --subject '$SUBJECT' $BODY >/dev/null"
PEER="msmtp --file=$WORK/empty.rc --host=localhost --port=$PORT --tls=on --tls-starttls=on --tls-trust-file=$WORK/ca.pem --auth=plain --user=jane --passwordeval='echo s3cret' --from=$FROM -- $TO <$WORK/message.eml"

compare_with_msmtp "$OURS" "$PEER"
echo "messages received by the server: $(ls "$WORK/saved"/*.json | wc -l) (expected 44)"
