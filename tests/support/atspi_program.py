"""The real window for the AT-SPI tests: a copy of the program in a work folder, on a display of
its own (Xvfb, the number chosen by the server) with the accessibility bus always on. Both are
stopped by their process ids when the block ends; Xvfb's log is printed when it ended in an
error."""
import contextlib
import os
import shutil
import subprocess

import pyatspi


@contextlib.contextmanager
def running_program(program, module_dir, work, **environment):
    """Yields a function that gives the program's application node, or None while it has none."""
    xvfb = app = None
    log = os.path.join(work, "xvfb.log")
    try:
        read_fd, write_fd = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                                 "1280x1024x24", "-nolisten", "tcp"], pass_fds=[write_fd],
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
        app = subprocess.Popen([copy], cwd=work, env=env)
        desktop = pyatspi.Registry.getDesktop(0)

        def application():
            return next((a for a in (desktop.getChildAtIndex(i) for i in range(desktop.childCount))
                         if a is not None and a.name == "regiscribe" and a.childCount > 0), None)

        yield application
    except BaseException:
        if os.path.exists(log):
            print(open(log).read())
        raise
    finally:
        if app:
            app.terminate()
            try:
                app.wait(10)
            except subprocess.TimeoutExpired:
                app.kill()
                app.wait()
        if xvfb:
            xvfb.terminate()
            xvfb.wait()


def report(failures):
    """Prints the failures; the test's exit status."""
    for failure in failures:
        print("FAIL:", failure)
    if failures:
        return 1
    print("ok")
    return 0
