#!/bin/sh
# Runs a widget test program on its own Xvfb display with the desktop's accessibility bus started
# and Qt's bridge to it always on, so that Qt raises its accessibility events. Run it inside a
# private session bus (dbus-run-session). Exits 77 (skipped) when the bus cannot be started.
dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus org.a11y.Bus.GetAddress \
    >/dev/null 2>&1 || { echo "skipped: no accessibility bus"; exit 77; }
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 REGISCRIBE_ACCESSIBILITY_BUS=1
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
