#!/usr/bin/python3
"""The look-up answers as a screen reader meets them: the real window under Xvfb, on a private
session bus with the accessibility bus, read through AT-SPI (pyatspi).

After a WHOIS look-up the answer is a text whose whole text, lines, caret and selection can be
read; after a Finger look-up the answer is a list with one item a line. The look-ups are started
through AT-SPI as well (text set into the fields, the buttons' actions), as assistive technology
drives a window.

Usage: answers_atspi_test.py PROGRAM MODULE_DIR   (run under dbus-run-session)
Exit 77 when the Finger port (79) cannot be bound: the test needs to run as root.
"""
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading

import pyatspi

# The other AT-SPI tests take these from here too.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from atspi_program import find, named, running_program, wait_for  # noqa: E402

WHOIS_LINES = ["Domain Name: EXAMPLE.COM", "Registrant Name: J\u00fcrgen M\u00fcller", ""] + [
    f"Remark {i}: line of the answer" for i in range(1, 301)
]
FINGER_LINES = [f"user{i:05}  Finger User {i}  pts/{i % 7}" for i in range(40000)]


def serve(sock, answer, queries):
    """Answers every connection with `answer` after reading its query line, then closes."""
    while True:
        try:
            conn, _ = sock.accept()
        except OSError:
            return
        with conn:
            query = b""
            while not query.endswith(b"\n"):
                chunk = conn.recv(512)
                if not chunk:
                    break
                query += chunk
            queries.append(query)
            conn.sendall(answer)


def listen(port):
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.bind(("127.0.0.1", port))
    sock.listen(4)
    return sock


class Failures:
    def __init__(self):
        self.items = []

    def check(self, condition, message):
        if not condition:
            self.items.append(message)
            print("FAIL:", message, flush=True)

    def equal(self, got, wanted, message):
        self.check(got == wanted, f"{message}: got {got!r}, wanted {wanted!r}")


def check_answers(application, window, failures, whois_queries, finger_queries):
    """The WHOIS and Finger answers as the window's accessibility tree gives them."""
    # The title bar shows the window's caption exactly, nothing added by the desktop.
    def xdotool(*args):
        return subprocess.run(["xdotool", *args], env=application.env, capture_output=True,
                              text=True, timeout=20).stdout.split()
    titles = [" ".join(xdotool("getwindowname", window_id)) for window_id in
              xdotool("search", "--sync", "--onlyvisible", "--pid", str(window.get_process_id()))]
    failures.equal(titles, ["Regiscribe 1.71"], "the title bar")

    # WHOIS: the name set into the field, LookUp pressed.
    memo = find(window, lambda n: n.name == "WHOIS answer")
    failures.equal(memo.getRoleName(), "text", "role of the WHOIS answer")
    page = memo.parent
    find(window, named("page tab", "WhoIs")).queryAction().doAction(0)
    field = find(page, named("text", "Domain Name to Look Up:"))
    field.queryEditableText().setTextContents("example.com")
    find(page, named("push button", "LookUp (WhoIs)")).queryAction().doAction(0)
    text = memo.queryText()
    wanted = "\n".join(["Connected. Waiting for data...", ""] + WHOIS_LINES)
    wait_for("the whole WHOIS answer",
             lambda: text.characterCount == len(wanted) or None)
    failures.equal(whois_queries, [b"example.com\r\n"], "the WHOIS query")
    failures.equal(text.getText(0, -1), wanted, "the WHOIS answer's text")
    failures.equal(text.characterCount, len(wanted), "its character count")
    third = wanted.index("Registrant")
    line = text.getTextAtOffset(third + 5, pyatspi.TEXT_BOUNDARY_LINE_START)
    failures.equal((line[0], line[1], line[2]),
                   ("Registrant Name: J\u00fcrgen M\u00fcller\n", third,
                    third + len("Registrant Name: J\u00fcrgen M\u00fcller\n")),
                   "the line at an offset")
    word = text.getTextAtOffset(third + 18, pyatspi.TEXT_BOUNDARY_WORD_START)
    failures.check(word[0].startswith("J\u00fcrgen"), f"the word at an offset: {word!r}")
    # A selection made through the interface is the memo's selection, and reads back.
    text.setSelection(0, third, third + 10)
    failures.equal(text.getNSelections(), 1, "selections after setting one")
    failures.equal(tuple(text.getSelection(0)), (third, third + 10), "the selection")
    failures.equal(text.caretOffset, third + 10, "the caret at the selection's end")
    text.setCaretOffset(7)
    failures.equal(text.caretOffset, 7, "the caret moved through the interface")
    failures.equal(text.getNSelections(), 0, "no selection after moving the caret")
    state = memo.getState()
    failures.check(state.contains(pyatspi.STATE_MULTI_LINE), "the answer is multi-line")
    failures.check(not state.contains(pyatspi.STATE_EDITABLE), "the answer is read-only")

    # Finger: the Finger tab picked, the host set, LookUp pressed.
    find(window, named("page tab", "Finger")).queryAction().doAction(0)
    answers = find(window, lambda n: n.name == "Finger answer")
    failures.equal(answers.getRoleName(), "list", "role of the Finger answer")
    finger_page = answers.parent
    host = find(finger_page, named("text", "Host or User@Host"))
    host.queryEditableText().setTextContents("127.0.0.1")
    find(finger_page, named("push button", "LookUp (Finger)")).queryAction().doAction(0)
    shown = ["Requesting 127.0.0.1...",
             "Connecting to 127.0.0.1...   Will time out in 15 seconds"] + FINGER_LINES
    wait_for("every Finger line as a list item",
             lambda: answers.childCount == len(shown) or None, 30)
    failures.equal(finger_queries, [b"\r\n"], "the Finger query")
    failures.equal(answers.childCount, len(shown), "items of the Finger list")
    for row in (0, 1, 2, 1234, len(shown) - 1):
        item = answers.getChildAtIndex(row)
        failures.equal(item.getRoleName(), "list item", f"role of item {row}")
        failures.equal(item.name, shown[row], f"text of item {row}")
        failures.equal(item.getIndexInParent(), row, f"index of item {row}")


def main():
    program, module_dir = sys.argv[1], sys.argv[2]
    try:
        finger_socket = listen(79)
    except OSError as e:
        print(f"skipped: cannot listen on the Finger port 79 ({e})")
        return 77
    whois_socket = listen(0)
    whois_queries, finger_queries = [], []
    whois_answer = "".join(line + "\r\n" for line in WHOIS_LINES).encode("utf-8")
    finger_answer = "".join(line + "\r\n" for line in FINGER_LINES).encode("ascii")
    for sock, answer, queries in ((whois_socket, whois_answer, whois_queries),
                                  (finger_socket, finger_answer, finger_queries)):
        threading.Thread(target=serve, args=(sock, answer, queries), daemon=True).start()

    work = tempfile.mkdtemp(prefix="atspi-")
    failures = Failures()
    try:
        # A portable copy: its settings file lies beside it and names the local WHOIS server.
        with open(os.path.join(work, "regiscribe.ini"), "wb") as ini:
            ini.write(b"[Lookup]\r\nWhoisServer=127.0.0.1:%d\r\n" % whois_socket.getsockname()[1])
        with running_program(program, module_dir, work) as application:
            window = wait_for("the window on the accessibility bus", application)
            window = wait_for("the window's controls", lambda: find(
                window, lambda n: n.name == "WHOIS answer") and window)
            check_answers(application, window, failures, whois_queries, finger_queries)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    if failures.items:
        print(f"{len(failures.items)} failure(s)")
        return 1
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
