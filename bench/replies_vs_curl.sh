#!/usr/bin/env bash
# A check for replies in a folder of 10,000 messages of which 3 are robots' replies, all arrived
# after the registrations were sent: `regiscribe-cli replies --check` against `curl` sending the
# same UID SEARCH and fetching the same UIDs' header and text (BODY.PEEK, the same parts) from
# the same local Dovecot over TLS. Prints how many times longer curl takes (ours must not be
# slower: the ratio must be 1.00 or more).
source "$(dirname "$0")/mail_common.sh"
source "$(dirname "$0")/test_ca.sh"
make_test_ca "$WORK"
command -v dovecot >/dev/null || { echo "dovecot-imapd is not installed" >&2; exit 1; }

# --- Dovecot, as an unprivileged user, with a configuration of its own.
DOVECOT_USER=$(id -un) DOVECOT_GROUP=$(id -gn) AS_USER=()
if [ "$(id -u)" -eq 0 ]; then
    DOVECOT_USER=nobody DOVECOT_GROUP=nogroup
    AS_USER=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
read -r TLS_PORT PLAIN_PORT < <(/usr/bin/python3 -c '
import socket
s = [socket.socket() for _ in range(2)]
for x in s: x.bind(("127.0.0.1", 0))
print(*(x.getsockname()[1] for x in s))')
D="$WORK/dovecot"
mkdir -p "$D/run" "$D/state" "$D/home/jane/Maildir/"{new,cur,tmp}
cp "$WORK/server.pem" "$WORK/server.key" "$D/"
echo 'jane:{PLAIN}s3cret' >"$D/passwd"
cat >"$D/dovecot.conf" <<EOF
base_dir = $D/run
state_dir = $D/state
instance_name = regiscribe-bench-$TLS_PORT
log_path = $D/dovecot.log
default_internal_user = $DOVECOT_USER
default_internal_group = $DOVECOT_GROUP
default_login_user = $DOVECOT_USER
protocols = imap
listen = 127.0.0.1
first_valid_uid = 0
auth_mechanisms = plain login
passdb {
  driver = passwd-file
  args = scheme=PLAIN $D/passwd
}
userdb {
  driver = static
  args = uid=$DOVECOT_USER gid=$DOVECOT_GROUP home=$D/home/%u
}
mail_location = maildir:~/Maildir
service anvil {
  chroot =
}
service imap-login {
  chroot =
  inet_listener imap {
    port = $PLAIN_PORT
  }
  inet_listener imaps {
    port = $TLS_PORT
    ssl = yes
  }
}
ssl = yes
ssl_cert = <$D/server.pem
ssl_key = <$D/server.key
EOF

# --- Two registrations as the program keeps them (sent.log and the copies), and the mailbox.
mkdir -p "$WORK/sent"
/usr/bin/python3 - "$WORK/sent" "$D/home/jane/Maildir" "$ROOT/tests/samples/replies" <<'PY'
import datetime, os, secrets, sys
sent, maildir, samples = sys.argv[1:4]
now = datetime.datetime.now().astimezone()
sent_at = now - datetime.timedelta(hours=2)
regs = []
with open(os.path.join(sent, "sent.log"), "w") as log:
    for n, name in enumerate(["a.example", "b.example", "c.example"]):
        mid = "<%s@example.org>" % secrets.token_hex(16)
        when = sent_at + datetime.timedelta(seconds=n)
        stem = when.strftime("%Y%m%d-%H%M%S") + "-domain-" + name
        with open(os.path.join(sent, stem + ".eml"), "wb") as f:
            f.write(("From: jane@example.org\r\nTo: auto-dbm@ripe.net\r\nDate: %s\r\n"
                     "Message-ID: %s\r\nSubject:  NEW\r\n\r\nRegistration of %s\r\n"
                     % (when.strftime("%a, %d %b %Y %H:%M:%S %z"), mid, name)).encode())
        log.write("\t".join([when.isoformat(timespec="seconds"), "domain", name,
                             "auto-dbm@ripe.net", mid, "250 2.0.0 Ok: queued"]) + "\n")
        regs.append(mid)
replies = {2500: ("ripe-success-delete-maintainer.eml", "<20261209131005.A1B2C3D4E5@mx.lir.example.com>"),
           5000: ("ripe-failed-domain-zonemaster.eml", "<c4d5e6f708192a3b4c5d6e7f8091a2b3@isp.example.net>"),
           9999: ("irrd-success-create-modify.eml", "<87h6yx3k2q.fsf@noc.example.com>")}
base = int((now - datetime.timedelta(hours=1)).timestamp())
for n in range(10000):
    if n in replies:
        name, quoted = replies[n]
        text = open(os.path.join(samples, name), "rb").read().replace(
            quoted.encode(), regs[sorted(replies).index(n)].encode())
    else:
        body = "".join("Line %d of a newsletter that has nothing to do with registrations.\r\n" % i
                       for i in range(20))
        text = ("From: news@lists.example\r\nTo: jane@example.org\r\nSubject: Newsletter %d\r\n"
                "Message-ID: <news%d@lists.example>\r\n\r\n%s" % (n, n, body)).encode()
    path = os.path.join(maildir, "cur", "%d.M%dP1.bench,S=%d:2,S" % (base + n, n, len(text)))
    with open(path, "wb") as f:
        f.write(text)
    os.utime(path, (base + n, base + n))
PY
if [ "$(id -u)" -eq 0 ]; then chown -R nobody:nogroup "$D"; chmod 711 "$WORK"; fi
"${AS_USER[@]}" dovecot -F -c "$D/dovecot.conf" &
STARTED_PIDS+=($!)
for _ in $(seq 100); do
    (exec 3<>"/dev/tcp/127.0.0.1/$TLS_PORT") 2>/dev/null && break
    sleep 0.1
done
export REGISCRIBE_CA_FILE="$WORK/ca.pem"

printf '[Setup]\r\nUser=jane\r\n[Replies]\r\nServer=localhost:%s\r\nSecurity=TLS\r\n' "$TLS_PORT" \
    >"$WORK/regiscribe.ini"
SINCE=$(/usr/bin/python3 -c '
import datetime
d = datetime.datetime.now(datetime.timezone.utc) - datetime.timedelta(hours=2, days=1)
print("%d-%s-%d" % (d.day, d.strftime("%b"), d.year))')
URL="imaps://localhost:$TLS_PORT/INBOX"
# curl's commands in one configuration file (one process, one connection reused): the same
# search, then the same UIDs' header and text in commands of four messages as ours (libcurl
# refuses larger answers, see src/replies/mailboxreader.h).
# The timed runs throw curl's answers away (its cheapest way); the first run keeps them in files
# to count what it fetched.
write_curl_config() {
/usr/bin/python3 - "$URL" "$SINCE" "$1" <<'PY'
import sys
url, since, keep = sys.argv[1:4]
def transfer(request, out):
    return ('cacert = "ca.pem"\nuser = "jane:s3cret"\nurl = "%s"\noutput = "/dev/null"\n'
            'request = "%s"\ndump-header = "%s"\n' % (url, request, out))
parts = [transfer("UID SEARCH SINCE %s UID 1:10000" % since, "search.out")]
for first in range(1, 10001, 4):
    parts.append(transfer("UID FETCH %d:%d (UID INTERNALDATE BODY.PEEK[HEADER]<0.16384> "
                          "BODY.PEEK[TEXT]<0.16384>)" % (first, first + 3),
                          "fetch%d.out" % first if keep == "keep" else "/dev/null"))
print("next\n".join(parts), end="")
PY
}
write_curl_config keep >"$WORK/curl-keep.config"
write_curl_config drop >"$WORK/curl.config"
cd "$WORK"
RESET="rm -rf sent/replies sent/replies.log sent/replies.state fetch*.out"
OURS="$CLI --settings regiscribe.ini replies --check --password-command 'echo s3cret' >/dev/null"
PEER="curl -sS -K curl.config"

# Both read what they should.
eval "$RESET"; eval "$OURS"
echo "replies kept by regiscribe-cli: $(wc -l <sent/replies.log) (expected 3)"
curl -sS -K curl-keep.config
echo "messages fetched by curl: $(cat fetch*.out | grep -c '^\* [0-9]* FETCH') (expected 10000)"

hyperfine --style basic --warmup 1 --runs 10 --export-json "$WORK/check.json" \
    -n regiscribe-cli --prepare "$RESET" "$OURS" -n curl --prepare "$RESET" "$PEER"
ours=$(mean_of "$WORK/check.json" 0)
peer=$(mean_of "$WORK/check.json" 1)
echo "ratio curl/regiscribe-cli (mean wall time a check): $(ratio "$peer" "$ours") (must be >= 1.00)"
echo "ratio curl/regiscribe-cli (mean CPU time a check):  $(ratio "$(cpu_of "$WORK/check.json" 1)" "$(cpu_of "$WORK/check.json" 0)")"
