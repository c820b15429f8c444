"""The real window for the AT-SPI tests: a copy of the program in a work folder, on a display of
its own (Xvfb, the number chosen by the server) with the accessibility bus always on, and a window
manager when asked for (the tests that type real keys need one to give the focus). All are stopped
by their process ids when the block ends; Xvfb's log is printed when it ended in an error.

Also the ways the tests find, wait for and read nodes, and type keys into the program."""
import contextlib
import os
import shutil
import subprocess
import time

import pyatspi
from gi.repository import GLib


@contextlib.contextmanager
def running_program(program, module_dir, work, screen="1280x1024", window_manager=False,
                    **environment):
    """Yields a function that gives the program's application node, or None while it has none.
    The function also carries the program's environment (`env`) for tools such as xdotool."""
    xvfb = app = manager = None
    log = os.path.join(work, "xvfb.log")
    try:
        read_fd, write_fd = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                                 screen + "x24", "-nolisten", "tcp"], pass_fds=[write_fd],
                                stderr=open(log, "w"))
        os.close(write_fd)
        # The number comes when the server is ready, ended by a line feed.
        with os.fdopen(read_fd, "rb") as pipe:
            display = pipe.readline().decode().strip()
        copy = os.path.join(work, "regiscribe")
        shutil.copy(program, copy)
        env = dict(os.environ, DISPLAY=":" + display, QT_QPA_PLATFORM="xcb",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", REGISCRIBE_MODULE_DIR=module_dir,
                   HOME=work, XDG_CONFIG_HOME=os.path.join(work, "config"), **environment)
        if window_manager:
            manager = subprocess.Popen(["openbox", "--sm-disable"], env=env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            # It has taken over once it tells the desktops (xdotool asks through EWMH).
            wait_for("the window manager", lambda: subprocess.run(
                ["xdotool", "get_desktop"], env=env, capture_output=True).returncode == 0)
        app = subprocess.Popen([copy], cwd=work, env=env)
        desktop = pyatspi.Registry.getDesktop(0)

        def application():
            return next((a for a in (desktop.getChildAtIndex(i) for i in range(desktop.childCount))
                         if a is not None and a.name == "regiscribe" and a.childCount > 0), None)

        application.env = env
        yield application
    except BaseException:
        if os.path.exists(log):
            print(open(log).read())
        raise
    finally:
        for process in (app, manager):
            if process:
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        if xvfb:
            xvfb.terminate()
            xvfb.wait()


def wait_for(what, predicate, seconds=20.0):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            value = predicate()
            if value:
                return value
        except Exception:  # the tree is still being built
            pass
        time.sleep(0.1)
    raise AssertionError(f"timed out waiting for {what}")


def find(node, predicate, depth=0):
    if node is None or depth > 40:
        return None
    try:
        if predicate(node):
            return node
        for i in range(node.childCount):
            # Lists are looked into only as far as their first item: they may hold thousands.
            if node.getRoleName() == "list" and i > 0:
                break
            found = find(node.getChildAtIndex(i), predicate, depth + 1)
            if found:
                return found
    except Exception:
        return None
    return None


def named(role, name):
    return lambda n: n.getRoleName() == role and n.name == name


def nodes(node, depth=0):
    """Every node below `node` (itself first); of a list or table only its first rows."""
    if node is None or depth > 40:
        return
    yield node
    many = node.getRoleName() in ("list", "table", "tree table", "tree")
    for i in range(min(node.childCount, 40 if many else node.childCount)):
        yield from nodes(node.getChildAtIndex(i), depth + 1)


def window(application, name, seconds=20.0):
    """The program's top-level window with that name (or whose name passes that test), once it
    shows and has the keyboard (keys typed before then would go to the window before it)."""
    matches = name if callable(name) else (lambda n: n == name)

    def shown():
        app = application()
        for i in range(app.childCount if app else 0):
            w = app.getChildAtIndex(i)
            if w is not None and matches(w.name) and w.getState().contains(pyatspi.STATE_SHOWING) \
                    and w.getState().contains(pyatspi.STATE_ACTIVE):
                return w
        return None
    return wait_for(f"the window {name!r}", shown, seconds)


def gone(application, name):
    """Waits until no top-level window of that name shows."""
    def closed():
        app = application()
        return not any(w is not None and w.name == name and
                       w.getState().contains(pyatspi.STATE_SHOWING)
                       for w in (app.getChildAtIndex(i) for i in range(app.childCount)))
    wait_for(f"the window {name!r} to close", closed)


def keys(application, *names):
    """Real key presses (X key names, e.g. "alt+f", "Tab", "Return") into the focused window."""
    subprocess.run(["xdotool", "key", "--delay", "60", *names], env=application.env, check=True,
                   timeout=30)


def type_text(application, text):
    subprocess.run(["xdotool", "type", "--delay", "20", text], env=application.env, check=True,
                   timeout=30)


class _FocusEvents:
    """The last control told as focused: Qt tells each focus change, while the states read on
    this side are cached and a control that lost the focus is not always told so."""
    def __init__(self):
        self.node = None
        pyatspi.Registry.registerEventListener(self._told, "object:state-changed:focused")

    def _told(self, event):
        if event.detail1:
            self.node = event.source

    def current(self):
        context = GLib.MainContext.default()
        while context.pending():
            context.iteration(False)
        return self.node


_focus_events = None


def focused(application):
    """The control that has the keyboard focus, once a focus change has been told."""
    global _focus_events
    if _focus_events is None:
        _focus_events = _FocusEvents()
    return _focus_events.current()


def tab_to(application, what, predicate, limit=40):
    """Tab pressed until the focus is on a control `predicate` accepts; the control."""
    def where(node):
        return node and (node.getRoleName(), node.name, node.getIndexInParent(), node.parent.name)
    focused(application)
    keys(application, "shift+Tab", "Tab")  # tells where the focus is
    node = wait_for("a focus", lambda: focused(application))
    for _ in range(limit):
        if predicate(node):
            return node
        before = where(node)
        keys(application, "Tab")
        # The key is handled after xdotool returns: the focus is read once it has moved.
        node = wait_for("the focus to move", lambda: (lambda n: n if where(n) != before else None)(
            focused(application)))
    raise AssertionError(f"Tab never reached {what}")


def screenshot(application, path):
    subprocess.run(["import", "-window", "root", path], env=application.env, check=True,
                   timeout=30)


def report(failures):
    """Prints the failures; the test's exit status."""
    for failure in failures:
        print("FAIL:", failure)
    if failures:
        return 1
    print("ok")
    return 0
