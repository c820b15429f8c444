#!/usr/bin/python3
"""Every window of the program as a screen reader meets it: the real program under Xvfb with a
window manager, each window opened through its menu or button with real keys, and its whole
AT-SPI tree read.

A window fails on a control that takes the focus but has no name, on two controls with the same
role and name (a screen reader could not tell them apart), and on a filler (a plain container)
that holds text of its own. Help's links must be links: role link, named by their text, and
pressing one opens its topic.

Usage: windows_atspi_test.py PROGRAM MODULE_DIR [SCREENSHOT_FOLDER]   (under dbus-run-session)
"""
import html
import os
import re
import shutil
import sys
import tempfile

import pyatspi

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "support"))
from atspi_program import (find, gone, keys, named, nodes, report, running_program,  # noqa: E402
                           screenshot, type_text, wait_for, window)

HELP_PAGES = os.path.join(HERE, "..", "..", "..", "src", "app", "ui", "help")

def place(node):
    """Where a node is: its named ancestors' names, innermost first."""
    names = []
    while node is not None and node.getRoleName() not in ("frame", "dialog", "window"):
        node = node.parent
        if node is not None and node.name:
            names.append(node.name)
    return " / ".join(names[:3]) or "the window"


def spoken(node):
    """A control's name as a screen reader speaks it: a combo box names its value here, and is
    spoken with the label related to it (None when it has none)."""
    if node.getRoleName() != "combo box":
        return node.name
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            return relation.getTarget(0).name + ": " + node.name
    return None


def tree_faults(top):
    """What a screen reader cannot tell apart or cannot name in the window `top`."""
    faults, seen = [], {}
    for node in nodes(top):
        role, name, state = node.getRoleName(), node.name, node.getState()
        # A hidden control is neither reached nor read.
        if not state.contains(pyatspi.STATE_VISIBLE):
            continue
        # A combo box's own edit line and a table's cells are named by their owner.
        if node.parent is not None and node.parent.getRoleName() in ("combo box", "table",
                                                                     "tree table", "list"):
            continue
        if state.contains(pyatspi.STATE_FOCUSABLE) and role not in ("page tab list",):
            if not name.strip():
                faults.append(f"a focusable {role} without a name, in {place(node)}")
            elif spoken(node) is None:
                faults.append(f"the combo box {name!r} has no label, in {place(node)}")
            elif role != "status bar":  # a status bar's name is its live message
                seen.setdefault((role, spoken(node)), []).append(node)
        if role == "filler":
            text = name.strip()
            if not text and "Text" in pyatspi.utils.listInterfaces(node):
                text = node.queryText().getText(0, -1).strip()
            if text:
                faults.append(f"a filler holds text: {text!r}")
    faults += [f"{len(same)} controls read as the {role} {name!r}"
               for (role, name), same in seen.items() if len(same) > 1]
    return faults


def key_clashes(top):
    """Two controls showing at once with the same Alt key: the key then only moves the focus
    between them (a menu of the menu bar does not open at all)."""
    top.clearCache()
    owners = {}
    for node in nodes(top):
        if not node.getState().contains(pyatspi.STATE_SHOWING) or \
                "Action" not in pyatspi.utils.listInterfaces(node):
            continue
        action = node.queryAction()
        for key in {action.getKeyBinding(i).lower() for i in range(action.nActions)}:
            if key.startswith("alt+"):
                owners.setdefault(key, []).append(node.name)
    return [f"{key} is the key of {names!r}" for key, names in owners.items() if len(names) > 1]


def check_every_tab(application, main, failures):
    """The Alt keys on every tab of the main window, each tab chosen in turn."""
    for tab in [n for n in nodes(main) if n.getRoleName() == "page tab"]:
        tab.queryAction().doAction(0)
        wait_for(f"the tab {tab.name!r}", lambda: tab.clearCache() or
                 tab.getState().contains(pyatspi.STATE_FOCUSED))
        failures += [f"on the tab {tab.name}: {clash}" for clash in key_clashes(main)]
    for first in ("Domain Reg", "Type"):
        find(main, named("page tab", first)).queryAction().doAction(0)


def check_window(application, title, failures, shots):
    top = window(application, title)
    if shots:
        screenshot(application, os.path.join(shots, title.replace(" ", "_") + ".png"))
    faults = tree_faults(top) + key_clashes(top)
    failures += [f"{title}: {fault}" for fault in faults]
    return top


def press(application, node, key="space"):
    """The focus put on a button, then a real key pressed on it."""
    node.queryComponent().grabFocus()
    wait_for(f"the focus on {node.name!r}",
             lambda: node.getState().contains(pyatspi.STATE_FOCUSED))
    keys(application, key)


def type_into(application, box, text):
    """Real keys typed into an editable box, which takes the focus through its line."""
    line = find(box, lambda n: n.getRoleName() == "text")
    line.queryComponent().grabFocus()
    wait_for(f"the focus in {box.name!r}", lambda: line.getState().contains(pyatspi.STATE_FOCUSED))
    type_text(application, text)


def close(application, title, key="Escape"):
    keys(application, key)
    gone(application, title)


def help_page(name):
    return open(os.path.join(HELP_PAGES, name), encoding="utf-8").read()


def check_help_links(application, top, failures):
    links = [n for n in nodes(top) if n.getRoleName() == "link"]
    # The contents page's links, (text, file) in the page's order.
    wanted = [(html.unescape(" ".join(text.split())), href) for href, text in
              re.findall(r'<a href="([^"]+)">(.*?)</a>', help_page("contents.html"), re.S)]
    if [link.name for link in links] != [text for text, _ in wanted]:
        failures.append(f"Help: the links read {[link.name for link in links]!r}")
        return
    text, target = wanted[1]
    links[1].queryAction().doAction(0)
    # The topic's page shows: its heading is the browser's first line.
    heading = html.unescape(re.search(r"<h1>(.*?)</h1>", help_page(target), re.S).group(1))
    browser = find(top, lambda n: n.name == "Help text")
    wait_for(f"the topic of the link {text!r}", lambda: browser.queryText().getText(
        0, -1).startswith(heading))


def walk_windows(application, failures, shots):
    main = check_window(application, "Regiscribe 1.71", failures, shots)
    keys(application, "alt+f", "s")
    setup = check_window(application, "Setup", failures, shots)
    press(application, find(setup, named("push button", "Security...")))
    check_window(application, "Mail Security", failures, shots)
    close(application, "Mail Security")
    close(application, "Setup")
    keys(application, "alt+f", "r")
    check_window(application, "Sent Registrations", failures, shots)
    close(application, "Sent Registrations")
    keys(application, "alt+h", "a")
    check_window(application, "About", failures, shots)
    close(application, "About")
    check_every_tab(application, main, failures)
    # The domain page's windows: the crypt dialog, the name-server check, the form viewer.
    type_into(application, find(main, named("combo box", "Authorization Scheme")), "CRYPT-PW")
    type_into(application, find(main, named("combo box", "Domain Name")), "example.com")
    make = wait_for("the Make button", lambda: find(main, lambda n: n.name.startswith(
        "Make...") and n.getState().contains(pyatspi.STATE_SHOWING)))
    press(application, make)
    check_window(application, "Make Encrypted Password", failures, shots)
    close(application, "Make Encrypted Password")
    tab = find(main, named("page tab", "Name Servers"))
    tab.queryAction().doAction(0)
    press(application, find(main, named("push button", "Check")))
    check_window(application, "Name server check", failures, shots)
    close(application, "Name server check")
    find(main, named("page tab", "Review & Submit (Domain Reg)")).queryAction().doAction(0)
    press(application, find(main, named("push button", "Show Form (Domain Reg)")))
    check_window(application, "Regiscribe Form Viewer", failures, shots)
    close(application, "Regiscribe Form Viewer")
    keys(application, "alt+h", "c")
    check_help_links(application, check_window(application, "Regiscribe Help", failures, shots),
                     failures)
    close(application, "Regiscribe Help")


def main():
    program, module_dir = sys.argv[1], sys.argv[2]
    shots = sys.argv[3] if len(sys.argv) > 3 else None
    work = tempfile.mkdtemp(prefix="windows-atspi-")
    failures = []
    try:
        with running_program(program, module_dir, work, window_manager=True) as application:
            wait_for("the window on the accessibility bus", application)
            walk_windows(application, failures, shots)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return report(failures)


if __name__ == "__main__":
    sys.exit(main())
