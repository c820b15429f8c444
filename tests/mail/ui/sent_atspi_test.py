#!/usr/bin/python3
"""Sent Registrations as a screen reader meets it: the real window under Xvfb, on a private
session bus with the accessibility bus, read through AT-SPI (pyatspi).

The sent folder holds two kept messages: one written by the companion's own encoder (the sender
"Jürgen Müller" as an encoded-word, the body quoted-printable UTF-8) and one written by Python's
mail library (the sender "Renée Lefèvre", the body quoted-printable). File > Sent Registrations...
is chosen, each row is selected and Show pressed through the interface, and the message window's text
must read as a mail reader shows the message: names decoded, no "=?UTF-8?" and no "=C3=A9".

Usage: sent_atspi_test.py PROGRAM CLI MODULE_DIR   (run under dbus-run-session)
"""
import email.message
import email.policy
import os
import re
import shutil
import subprocess
import sys
import tempfile

# The look-up answers' accessibility test waits for and finds nodes the same way.
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "lookup", "ui"))
sys.path.insert(0, os.path.join(HERE, "..", "..", "support"))
from answers_atspi_test import find, named, wait_for  # noqa: E402
from atspi_program import report, running_program  # noqa: E402

JURGEN = "J\u00fcrgen M\u00fcller"
RENEE = "Ren\u00e9e Lef\u00e8vre"


def keep(sent, stamp, kind, name, message_id, text):
    """A kept copy and its log line, as the program writes them (the time in UTC)."""
    with open(os.path.join(sent, f"{stamp}-{kind}-{name}.eml"), "wb") as f:
        f.write(text)
    when = f"{stamp[0:4]}-{stamp[4:6]}-{stamp[6:8]}T{stamp[9:11]}:{stamp[11:13]}:{stamp[13:15]}Z"
    line = "\t".join([when, kind, name, "hostmaster@registry.test", message_id,
                      "250 2.0.0 Ok: queued as 4ABC1"])
    with open(os.path.join(sent, "sent.log"), "a", encoding="utf-8") as f:
        f.write(line + "\n")


def main():
    program, cli, module_dir = sys.argv[1], sys.argv[2], sys.argv[3]
    work = tempfile.mkdtemp(prefix="sent-atspi-")
    sent = os.path.join(work, "sent")
    os.mkdir(sent, 0o700)
    failures = []
    try:
        # The companion's own message: an encoded-word sender, a quoted-printable UTF-8 body.
        ours = subprocess.run(
            [cli, "message", "--from", "jane@example.test", "--name", JURGEN, "--to",
             "hostmaster@registry.test", "--subject", "xn--bcher-kva.example Internic DOMAIN "
             "Registration", "--message-id", "<1@example.test>"],
            input=f"3a. Organization Name..........: {RENEE} SARL\n".encode(),
            capture_output=True, check=True).stdout.replace(b"\n", b"\r\n")
        keep(sent, "20261208-213105", "domain", "xn--bcher-kva.example", "<1@example.test>", ours)
        # Python's own: its choice of encoded-word, a quoted-printable body.
        theirs = email.message.EmailMessage(policy=email.policy.SMTP)
        theirs["From"] = f"{RENEE} <renee@example.test>"
        theirs["To"] = "hostmaster@registry.test"
        theirs["Message-ID"] = "<2@example.test>"
        theirs["Subject"] = f"{RENEE} Internic CONTACT Registration"
        theirs.set_content(f"1c. Name....................: {JURGEN}\n", cte="quoted-printable")
        keep(sent, "20261208-213106", "contact", RENEE, "<2@example.test>", theirs.as_bytes())

        with running_program(program, module_dir, work, TZ="UTC") as application:
            read_window(application, failures)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return report(failures)


def open_sent_registrations(application, rows):
    """File > Sent Registrations... chosen through the interface: the list and its table, once it
    holds `rows` rows."""
    wait_for("the window on the accessibility bus", application)
    item = wait_for("the Sent Registrations menu item", lambda: find(
        application(), named("menu item", "Sent Registrations...")))
    item.queryAction().doAction(0)
    tree = wait_for("the list of sent registrations", lambda: find(
        application(), lambda n: n.name == "Sent registrations"))
    table = tree.queryTable()
    wait_for(f"{rows} rows", lambda: table.nRows == rows or None)
    return tree, table


def read_window(application, failures):
    tree, table = open_sent_registrations(application, 2)
    # The window that holds the list (a splitter stands between them).
    dialog = tree.parent
    while dialog is not None and dialog.getRoleName() != "dialog":
        dialog = dialog.parent
    show = find(dialog, named("push button", "Show"))
    for row, (sender, body) in enumerate([(RENEE, JURGEN), (JURGEN, RENEE)]):
        table.addRowSelection(row)
        wait_for(f"row {row} chosen", lambda: table.isRowSelected(row) or None)
        show.queryAction().doAction(0)
        # The header's values stand in one column: blanks after the name.
        marker = re.compile(rf"^Message-ID: +<{2 - row}@example\.test>$", re.M)
        viewer = wait_for(f"the message window with message {2 - row}", lambda: find(
            application(), lambda n: n.getRoleName() == "text" and
            n.name == "Message as sent" and marker.search(n.queryText().getText(0, -1))))
        text = viewer.queryText().getText(0, -1)
        if sender not in text or body not in text:
            failures.append(f"row {row}: {sender!r} and {body!r} not both in {text!r}")
        if "=?" in text or "=C3" in text:
            failures.append(f"row {row}: encoded text left in {text!r}")
    names = [table.getAccessibleAt(r, 2).name for r in range(2)]
    if names != [RENEE, "xn--bcher-kva.example (b\u00fccher.example)"]:
        failures.append(f"the name column reads {names!r}")


if __name__ == "__main__":
    sys.exit(main())
