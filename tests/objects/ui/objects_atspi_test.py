#!/usr/bin/python3
"""The Database Objects page as a screen reader meets it: the real window under Xvfb, on a private
session bus with the accessibility bus, read through AT-SPI (pyatspi).

The page's tab is chosen through the interface; the attribute list must read as a table of two
columns headed "Attribute" and "Value", one row per attribute of a new RIPE domain object in the
registry's order, the mandatory ones described so, and the check's lines as a list beside it.

Usage: objects_atspi_test.py PROGRAM MODULE_DIR   (run under dbus-run-session)
"""
import os
import shutil
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "lookup", "ui"))
sys.path.insert(0, os.path.join(HERE, "..", "..", "support"))
from answers_atspi_test import find, named, wait_for  # noqa: E402
from atspi_program import report, running_program  # noqa: E402

# A new domain object under the RIPE rules: its mandatory attributes, the source filled in.
TEMPLATE = [("domain", ""), ("admin-c", ""), ("tech-c", ""), ("zone-c", ""), ("nserver", ""),
            ("mnt-by", ""), ("source", "RIPE")]


def read_page(application, failures):
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


def main():
    program, module_dir = sys.argv[1], sys.argv[2]
    work = tempfile.mkdtemp(prefix="objects-atspi-")
    failures = []
    try:
        with running_program(program, module_dir, work) as application:
            read_page(application, failures)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return report(failures)


if __name__ == "__main__":
    sys.exit(main())
