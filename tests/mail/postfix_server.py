"""A private Postfix on loopback for the tests: Debian's Postfix, run as root from a folder of its
own, delivering every message for registry.test into a Maildir.

Postfix's master runs with only its internal services; this script listens on a free loopback
port itself and hands each connection to Postfix's own SMTP server in its stand-alone mode (as an
inetd would), so no fixed port is needed. It prints "PORT <n>" once it accepts connections (or
"SKIP <reason>" when Postfix is not installed or the script does not run as root), and ends when
its standard input closes, when it is terminated, or after --lifetime seconds: every SMTP server
it started is waited for, and the master is stopped and waited for by its process id.

Usage: postfix_server.py --dir DIR   (the delivered messages land in DIR/mail/registry/new)
"""
import argparse
import os
import pwd
import select
import signal
import socket
import subprocess
import sys
import time

POSTFIX = "/usr/sbin/postfix"
SMTPD = "/usr/lib/postfix/sbin/smtpd"

MAIN_CF = """\
compatibility_level = 3.6
queue_directory = {base}/queue
data_directory = {base}/data
daemon_directory = /usr/lib/postfix/sbin
command_directory = /usr/sbin
meta_directory = /etc/postfix
shlib_directory = /usr/lib/postfix
mail_owner = postfix
setgid_group = postdrop
maillog_file = {base}/maillog
maillog_file_prefixes = {base}
myhostname = mx.registry.test
mydomain = registry.test
mydestination =
alias_maps =
alias_database =
local_recipient_maps =
inet_interfaces = loopback-only
inet_protocols = ipv4
mynetworks = 127.0.0.0/8
smtpd_recipient_restrictions = permit_mynetworks, reject
virtual_mailbox_domains = registry.test
virtual_mailbox_base = {base}/mail
virtual_mailbox_maps = static:registry/
virtual_uid_maps = static:{uid}
virtual_gid_maps = static:{gid}
"""

# The internal services only: connections come through this script.
MASTER_CF = """\
cleanup   unix  n       -       n       -       0       cleanup
qmgr      unix  n       -       n       300     1       qmgr
rewrite   unix  -       -       n       -       -       trivial-rewrite
bounce    unix  -       -       n       -       0       bounce
defer     unix  -       -       n       -       0       bounce
trace     unix  -       -       n       -       0       bounce
verify    unix  -       -       n       -       1       verify
proxymap  unix  -       -       n       -       -       proxymap
error     unix  -       -       n       -       -       error
retry     unix  -       -       n       -       -       error
discard   unix  -       -       n       -       -       discard
virtual   unix  -       n       n       -       -       virtual
anvil     unix  -       -       n       -       1       anvil
scache    unix  -       -       n       -       1       scache
postlog   unix-dgram n  -       n       -       1       postlogd
"""


def master_pid(base):
    try:
        with open(os.path.join(base, "queue", "pid", "master.pid")) as f:
            return int(f.read().split()[0])
    except (OSError, ValueError, IndexError):
        return None


def wait_gone(pid, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            os.kill(pid, 0)
        except ProcessLookupError:
            return True
        time.sleep(0.05)
    return False


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dir", required=True)
    parser.add_argument("--lifetime", type=float, default=120.0)
    args = parser.parse_args()
    if os.geteuid() != 0 or not os.path.exists(POSTFIX):
        print("SKIP Postfix needs root and the postfix package", flush=True)
        return
    owner = pwd.getpwnam("postfix")
    base = os.path.realpath(args.dir)
    # Postfix's own processes run as its user and must reach the queue and the mailboxes.
    os.chmod(base, 0o755)
    etc = os.path.join(base, "etc")
    for sub in ("etc", "queue", "data", "mail"):
        os.makedirs(os.path.join(base, sub), exist_ok=True)
    for sub in ("data", "mail"):
        os.chown(os.path.join(base, sub), owner.pw_uid, owner.pw_gid)
    with open(os.path.join(etc, "main.cf"), "w") as f:
        f.write(MAIN_CF.format(base=base, uid=owner.pw_uid, gid=owner.pw_gid))
    with open(os.path.join(etc, "master.cf"), "w") as f:
        f.write(MASTER_CF)
    env = {"MAIL_CONFIG": etc, "PATH": "/usr/sbin:/usr/bin:/sbin:/bin"}
    subprocess.run([POSTFIX, "-c", etc, "start"], env=env, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    master = master_pid(base)

    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)
    print("PORT {}".format(listener.getsockname()[1]), flush=True)

    stop = [False]
    signal.signal(signal.SIGTERM, lambda *_: stop.__setitem__(0, True))
    servers = []
    end = time.monotonic() + args.lifetime
    try:
        while not stop[0] and time.monotonic() < end:
            ready, _, _ = select.select([listener, sys.stdin], [], [], 0.5)
            if sys.stdin in ready and not os.read(sys.stdin.fileno(), 4096):
                break
            if listener in ready:
                conn, _ = listener.accept()
                servers.append(subprocess.Popen(
                    [SMTPD, "-S", "-n", "smtp", "-t", "inet"], env=env, stdin=conn.fileno(),
                    stdout=conn.fileno(), user=owner.pw_uid, group=owner.pw_gid))
                conn.close()
    finally:
        listener.close()
        for server in servers:
            try:
                server.wait(10)
            except subprocess.TimeoutExpired:
                server.kill()
                server.wait()
        subprocess.run([POSTFIX, "-c", etc, "stop"], env=env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if master and not wait_gone(master, 10):
            os.kill(master, signal.SIGKILL)


if __name__ == "__main__":
    main()
