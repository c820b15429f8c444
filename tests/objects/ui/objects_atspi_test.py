#!/usr/bin/python3
"""The Database Objects page as a screen reader meets it: the real window under Xvfb, on a private
session bus with the accessibility bus, read through AT-SPI (pyatspi).

The page's tab is chosen through the interface; the attribute list must read as a table of two
columns headed "Attribute" and "Value", one row per attribute of a new RIPE domain object in the
registry's order, the mandatory ones described so, and the check's lines as a list under it.

Usage: objects_atspi_test.py PROGRAM MODULE_DIR   (run under dbus-run-session)
"""
import os
import shutil
import subprocess
import sys
import tempfile

import pyatspi

# The look-up answers' accessibility test waits for and finds nodes the same way.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "lookup",
                                "ui"))
from answers_atspi_test import find, named, wait_for  # noqa: E402

# A new domain object under the RIPE rules: its mandatory attributes, the source filled in.
TEMPLATE = [("domain", ""), ("admin-c", ""), ("tech-c", ""), ("zone-c", ""), ("nserver", ""),
            ("mnt-by", ""), ("source", "RIPE")]


def main():
    program, module_dir = sys.argv[1], sys.argv[2]
    work = tempfile.mkdtemp(prefix="objects-atspi-")
    failures = []
    xvfb = app = None
    try:
        read_fd, write_fd = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                                 "1280x1024x24", "-nolisten", "tcp"], pass_fds=[write_fd],
                                stderr=open(os.path.join(work, "xvfb.log"), "w"))
        os.close(write_fd)
        with os.fdopen(read_fd, "rb") as pipe:
            display = pipe.readline().decode().strip()
        # A portable copy: its settings file lies beside it, in the test's folder.
        copy = os.path.join(work, "regiscribe")
        shutil.copy(program, copy)
        env = dict(os.environ, DISPLAY=":" + display, QT_QPA_PLATFORM="xcb",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", REGISCRIBE_MODULE_DIR=module_dir,
                   HOME=work, XDG_CONFIG_HOME=os.path.join(work, "config"))
        app = subprocess.Popen([copy], cwd=work, env=env)

        desktop = pyatspi.Registry.getDesktop(0)

        def application():
            return next((a for a in (desktop.getChildAtIndex(i) for i in range(desktop.childCount))
                         if a is not None and a.name == "regiscribe" and a.childCount > 0), None)

        wait_for("the window on the accessibility bus", application)
        tab = wait_for("the Database Objects tab", lambda: find(
            application(), named("page tab", "Database Objects")))
        tab.queryAction().doAction(0)
        node = wait_for("the attribute table", lambda: find(
            application(), lambda n: n.getRoleName() == "table" and n.name == "Attributes"))
        table = node.queryTable()
        headers = [table.getColumnHeader(c).name for c in range(table.nColumns)]
        if headers != ["Attribute", "Value"]:
            failures.append(f"the columns are headed {headers!r}")
        rows = [(table.getAccessibleAt(r, 0).name, table.getAccessibleAt(r, 1).name)
                for r in range(table.nRows)]
        if rows != TEMPLATE:
            failures.append(f"the rows read {rows!r}")
        described = {table.getAccessibleAt(r, 0).description for r in range(table.nRows)}
        if described != {"mandatory"}:
            failures.append(f"the attributes are described as {described!r}")
        checks = find(application(), lambda n: n.getRoleName() == "list" and n.name == "Check")
        if checks is None or checks.childCount != len(TEMPLATE) - 1:
            failures.append("the check's list does not hold one line per empty attribute")
        elif not checks.getChildAtIndex(0).name.startswith("error   domain: "):
            failures.append(f"the check's first line reads {checks.getChildAtIndex(0).name!r}")
    finally:
        if app:
            app.terminate()
            try:
                app.wait(10)
            except subprocess.TimeoutExpired:
                app.kill()
        if xvfb:
            xvfb.terminate()
            xvfb.wait()
        if failures or sys.exc_info()[0]:
            print(open(os.path.join(work, "xvfb.log")).read())
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print("FAIL:", failure)
    if failures:
        return 1
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
