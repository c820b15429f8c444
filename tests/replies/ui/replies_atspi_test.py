#!/usr/bin/python3
"""Sent Registrations with the registry's replies as a screen reader meets them: the real window
under Xvfb, on a private session bus with the accessibility bus, read through AT-SPI (pyatspi).

The sent folder holds two registrations, one of them refused by a robot whose reply is kept in
sent/replies/ and logged in sent/replies.log as a check keeps them. The Status column must read
"waiting" and "refused"; choosing the refused row must show the reply's per-object results as a
list whose items read each object with its verdict and then each of its error lines, as the
sample's index gives them, and the reply's text.

Usage: replies_atspi_test.py PROGRAM MODULE_DIR   (run under dbus-run-session)
"""
import csv
import datetime
import json
import os
import shutil
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "lookup", "ui"))
sys.path.insert(0, os.path.join(HERE, "..", "..", "support"))
sys.path.insert(0, os.path.join(HERE, "..", "..", "mail", "ui"))
from answers_atspi_test import find, wait_for  # noqa: E402
from atspi_program import report, running_program  # noqa: E402
from sent_atspi_test import open_sent_registrations  # noqa: E402

SAMPLES = os.path.join(HERE, "..", "..", "samples", "replies")
SAMPLE = "ripe-failed-domain-zonemaster.eml"


def keep(sent, stamp, kind, name, message_id, subject):
    """A kept copy and its log line, as the program writes them (the time in UTC)."""
    text = (f"From: Jane <jane@example.test>\r\nTo: auto-dbm@ripe.net\r\nSubject: {subject}\r\n"
            f"Message-ID: {message_id}\r\n\r\ndomain: {name}\r\n").encode()
    with open(os.path.join(sent, f"{stamp}-{kind}-{name}.eml"), "wb") as f:
        f.write(text)
    when = f"{stamp[0:4]}-{stamp[4:6]}-{stamp[6:8]}T{stamp[9:11]}:{stamp[11:13]}:{stamp[13:15]}Z"
    line = "\t".join([when, kind, name, "auto-dbm@ripe.net", message_id, "250 2.0.0 Ok"])
    with open(os.path.join(sent, "sent.log"), "a", encoding="utf-8") as f:
        f.write(line + "\n")


def expected_results():
    """What the list must read for the sample: each object's verdict and line, then its errors."""
    with open(os.path.join(SAMPLES, "index.tsv"), encoding="utf-8") as f:
        row = next(r for r in csv.DictReader(f, delimiter="\t") if r["file"] == SAMPLE)
    lines = []
    for obj in json.loads(row["objects"]):
        lines.append(f"{obj['result']}: {obj['line']}")
        lines.extend(obj["errors"])
    return lines


def main():
    program, module_dir = sys.argv[1], sys.argv[2]
    work = tempfile.mkdtemp(prefix="replies-atspi-")
    sent = os.path.join(work, "sent")
    os.mkdir(sent, 0o700)
    os.mkdir(os.path.join(sent, "replies"), 0o700)
    failures = []
    try:
        # Sent within the day, so that the waiting one has not waited long.
        now = datetime.datetime.now(datetime.timezone.utc)
        stamp = [(now - datetime.timedelta(hours=h)).strftime("%Y%m%d-%H%M%S") for h in (2, 1)]
        keep(sent, stamp[0], "domain", "2.0.192.in-addr.arpa", "<r1@example.test>",
             "reverse 192.0.2.0/24")
        keep(sent, stamp[1], "domain", "a.example", "<r2@example.test>", "NEW")
        shutil.copy(os.path.join(SAMPLES, SAMPLE), os.path.join(sent, "replies", "7.eml"))
        with open(os.path.join(sent, "replies.log"), "w", encoding="utf-8") as f:
            f.write("\t".join(["<r1@example.test>", "<reply7@ripe.net>",
                               now.isoformat(timespec="seconds"), "refused", "", "replies/7.eml"]) +
                    "\n")
        with running_program(program, module_dir, work, TZ="UTC",
                             GNUPGHOME=os.path.join(work, "gnupg")) as application:
            read_window(application, failures)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return report(failures)


def read_window(application, failures):
    _, table = open_sent_registrations(application, 2)
    headers = [table.getColumnHeader(c).name for c in range(table.nColumns)]
    if "Status" not in headers:
        failures.append(f"no Status column among {headers!r}")
    else:
        status = headers.index("Status")
        name = headers.index("Name")
        read = [(table.getAccessibleAt(r, name).name, table.getAccessibleAt(r, status).name)
                for r in range(2)]
        if read != [("a.example", "waiting"), ("2.0.192.in-addr.arpa", "refused")]:
            failures.append(f"the names and statuses read {read!r}")

    table.addRowSelection(1)
    wait_for("the refused row chosen", lambda: table.isRowSelected(1) or None)
    results = wait_for("the reply's results", lambda: find(
        application(), lambda n: n.name == "Results of the reply" and n.childCount > 0))
    if results.getRoleName() != "list":
        failures.append(f"the results are a {results.getRoleName()!r}, not a list")
    items = [results.getChildAtIndex(i).name for i in range(results.childCount)]
    if items != expected_results():
        failures.append(f"the results read {items!r}, not {expected_results()!r}")
    text = wait_for("the reply's text", lambda: find(
        application(), lambda n: n.name == "Text of the reply"))
    body = text.queryText().getText(0, -1)
    if "Create FAILED: [domain] 2.0.192.in-addr.arpa" not in body:
        failures.append(f"the reply's text reads {body[:200]!r}")


if __name__ == "__main__":
    sys.exit(main())
