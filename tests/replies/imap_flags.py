#!/usr/bin/env python3
"""Prints every message's UID and flags in a folder, one line each ("UID FLAG FLAG ..."), as
another mail program sees them: signed in over TLS with Python's own IMAP client, the folder
examined read-only so that looking changes nothing. The session flag \\Recent is left out.

Usage: imap_flags.py PORT CA_FILE USER PASSWORD [FOLDER]"""
import imaplib
import re
import ssl
import sys

port, ca, user, password = sys.argv[1:5]
folder = sys.argv[5] if len(sys.argv) > 5 else "INBOX"
context = ssl.create_default_context(cafile=ca)
with imaplib.IMAP4_SSL("localhost", int(port), ssl_context=context) as imap:
    imap.login(user, password)
    imap.select(folder, readonly=True)
    status, data = imap.uid("FETCH", "1:*", "(UID FLAGS)")
    if status != "OK":
        sys.exit("FETCH failed: %r" % data)
    for item in data:
        if not item:
            continue
        text = item.decode() if isinstance(item, bytes) else item[0].decode()
        uid = re.search(r"UID (\d+)", text).group(1)
        flags = re.search(r"FLAGS \(([^)]*)\)", text).group(1).split()
        print(uid, " ".join(sorted(f for f in flags if f != "\\Recent")))
    imap.logout()
