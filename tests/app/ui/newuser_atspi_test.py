#!/usr/bin/python3
"""A new user's whole task with the keyboard only: the real program under Xvfb with a window
manager, every step typed with real keys (xdotool), every result read through AT-SPI.

Setup is filled in (the mail server is the test's own SMTP peer), a new domain is given two name
servers (the test's own, on port 53 of two loopback addresses) and checked, the registration is
mailed, and Sent Registrations shows it. After the send the focus must not be on Clear All, where
one more Space would empty the page.

Usage: newuser_atspi_test.py PROGRAM MODULE_DIR   (under dbus-run-session, as root for port 53)
Exit 77 when port 53 cannot be bound.
"""
import contextlib
import os
import shutil
import subprocess
import sys
import tempfile

import pyatspi

HERE = os.path.dirname(os.path.abspath(__file__))
SUPPORT = os.path.join(HERE, "..", "..", "support")
sys.path.insert(0, SUPPORT)
from atspi_program import (find, focused, keys, named, report, running_program,  # noqa: E402
                           tab_to, type_text, wait_for, window)

DOMAIN = "example.test"
SERVERS = [("ns1.example.test", "127.0.53.1"), ("ns2.example.test", "127.0.53.2")]


@contextlib.contextmanager
def peers(work):
    """The two name servers and the SMTP peer; yields the peer's port. All stopped by their
    process ids (their standard input closed, then ended)."""
    started = []
    try:
        zone = ["--zone", DOMAIN, "2026121001"] + [name for name, _ in SERVERS]
        hosts = [arg for name, address in SERVERS for arg in ("--a", f"{name}={address}")]
        for _, address in SERVERS:
            started.append(subprocess.Popen(
                [sys.executable, os.path.join(SUPPORT, "quirkydns.py"), address, "53", "good"] +
                zone + hosts, stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True))
            if not started[-1].stdout.readline().startswith("PORT"):
                raise OSError(f"no name server on {address}:53")
        started.append(subprocess.Popen(
            [sys.executable, os.path.join(HERE, "..", "..", "mail", "smtp_sink.py"),
             os.path.join(work, "received"), "120"], stdout=subprocess.PIPE, text=True))
        yield int(started[-1].stdout.readline().split()[1])
    finally:
        for process in started:
            if process.stdin:
                process.stdin.close()
            process.terminate()
            process.wait(10)


def named_like(role, start):
    return lambda n: n.getRoleName() == role and n.name.startswith(start)


def to_tab(application, main, caption):
    """Ctrl+Tab until the domain page's tab `caption` is the one shown (told as the focused tab
    of its bar)."""
    bar = find(main, lambda n: n.getRoleName() == "page tab list" and
               find(n, named("page tab", "Name Servers")))

    def current():
        bar.clearCache()
        return next(t.name for t in bar if t.getState().contains(pyatspi.STATE_FOCUSED))
    for _ in range(8):
        shown = current()
        if shown.startswith(caption):
            return
        keys(application, "ctrl+Tab")
        wait_for("the next tab", lambda: current() != shown)
    raise AssertionError(f"the tab {caption} never showed")


def whole_task(application, port, received, failures):
    main = window(application, "Regiscribe 1.71")
    # Setup: server, address, name, the registry's mailbox; Enter is OK.
    keys(application, "alt+f", "s")
    window(application, "Setup")
    tab_to(application, "the SMTP server", named("text", "SMTP Server"))
    type_text(application, f"127.0.0.1:{port}")
    keys(application, "Tab")
    type_text(application, "jane@example.test")
    keys(application, "Tab")
    type_text(application, "Jane Doe")
    keys(application, "Tab", "ctrl+a")
    type_text(application, "hostmaster@registry.test")
    keys(application, "Return")
    main = window(application, "Regiscribe 1.71")

    # A new domain and its two servers, then their check.
    tab_to(application, "the domain name", named("combo box", "Domain Name"))
    type_text(application, DOMAIN)
    to_tab(application, main, "Name Servers")
    for name, address in SERVERS:
        tab_to(application, "a server name", lambda n: n.getRoleName() == "text" and
               "Nameserver" in n.name and not n.queryText().getText(0, -1))
        type_text(application, name)
        keys(application, "Tab")
        type_text(application, address)
    tab_to(application, "Check", named_like("push button", "Check"))
    keys(application, "space")
    check = window(application, "Name server check")
    summary = wait_for("the check's end", lambda: find(check, lambda n: n.getRoleName() == "label"
                       and n.name and not n.name.startswith(("Checking", "No check"))), 30)
    findings = find(check, named("list", "Name server check findings"))
    errors = [findings.getChildAtIndex(i).name for i in range(findings.childCount)
              if findings.getChildAtIndex(i).name.startswith("error")]
    answered = [findings.getChildAtIndex(i).name for i in range(findings.childCount)
                if findings.getChildAtIndex(i).name.startswith("ok")]
    if errors or not all(any(address in line for line in answered) for _, address in SERVERS):
        failures.append(f"the check found {errors!r}, {answered!r} ({summary.name!r})")
    keys(application, "Escape")
    main = window(application, "Regiscribe 1.71")

    # Mailed from the review tab, the question answered Yes.
    to_tab(application, main, "Review & Submit")
    tab_to(application, "Send", named_like("push button", "Send to Internic"))
    keys(application, "space")
    window(application, "Warning")
    keys(application, "alt+y")
    message = wait_for("the registration at the SMTP peer", lambda: os.path.exists(
        os.path.join(received, "0001.eml")) and open(os.path.join(received, "0001.eml"),
                                                     encoding="utf-8", errors="replace").read(), 30)
    if DOMAIN not in message or SERVERS[1][0].upper() not in message.upper():
        failures.append("the mailed registration lacks the domain or its second server")
    # The box that says it was sent, closed with Enter: then the focus is back in the window, and
    # not on Clear All.
    window(application, "Information")
    keys(application, "Return")
    main = window(application, "Regiscribe 1.71")
    after = wait_for("the focus after the send", lambda: (
        lambda n: n if n is not None and n.name != "OK" else None)(focused(application)))
    if after.name.startswith("Clear All"):
        failures.append(f"after the send the focus is on {after.name!r}")

    # Sent Registrations lists it; Show opens the message as it went.
    keys(application, "alt+f", "r")
    window(application, "Sent Registrations")
    tab_to(application, "the list", lambda n: n.name == "Sent registrations")
    keys(application, "Home")
    tab_to(application, "Show", named("push button", "Show"))
    keys(application, "space")
    viewer = window(application, lambda name: name.startswith(f"Sent domain {DOMAIN}, "))
    text = find(viewer, named("text", "Message as sent")).queryText()
    if DOMAIN not in text.getText(0, -1):
        failures.append("the message window does not show the sent registration")


def main():
    program, module_dir = sys.argv[1], sys.argv[2]
    work = tempfile.mkdtemp(prefix="newuser-atspi-")
    received = os.path.join(work, "received")
    os.mkdir(received)
    failures = []
    try:
        with peers(work) as port, running_program(
                program, module_dir, work, window_manager=True, REGISCRIBE_LAB_NETWORKS=
                "127.0.0.0/8", REGISCRIBE_RESOLVER=SERVERS[0][1]) as application:
            wait_for("the window on the accessibility bus", application)
            whole_task(application, port, received, failures)
    except OSError as e:
        print(f"skipped: {e}")
        return 77
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return report(failures)


if __name__ == "__main__":
    sys.exit(main())
