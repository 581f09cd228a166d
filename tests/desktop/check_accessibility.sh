#!/usr/bin/env bash
# What a screen reader gets through the desktop's accessibility bus: the program runs on
# a session bus of its own with the accessibility bus started on it, and pyatspi reads
# the tree as Orca would. The two panes (and the status bar) must carry their names,
# and no two of them the same.
#
# Environment: DISPLAY (Xvfb with a window manager), QUILLERY_BUILD_DIR (the built
# program), QUILLERY_SCRATCH (an empty folder of this check's own).
set -euo pipefail

: "${DISPLAY:?}" "${QUILLERY_BUILD_DIR:?}" "${QUILLERY_SCRATCH:?}"

# Inside the private session bus: start the accessibility bus and the program, read the
# tree, and end both.
if [ "${1:-}" = --inside ]; then
    trial=$2
    pids=()
    cleanup() {
        local pid
        for pid in "${pids[@]}"; do
            kill "$pid" 2>/dev/null || true
        done
        for pid in "${pids[@]}"; do
            wait "$pid" 2>/dev/null || true
        done
    }
    trap cleanup EXIT
    # Without DISPLAY the launcher leaves the root window alone (no AT_SPI_BUS property
    # outliving this check), and pyatspi finds the bus through the session bus.
    env -u DISPLAY /usr/libexec/at-spi-bus-launcher --launch-immediately >"$trial/bus.log" 2>&1 &
    pids+=($!)
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 "$trial/QuilleryMini" \
        >"$trial/program.log" 2>&1 &
    pids+=($!)
    env -u DISPLAY /usr/bin/python3 "$trial/read-tree.py" "${pids[1]}"
    exit $?
fi

trial=$QUILLERY_SCRATCH/accessibility
mkdir -p "$trial"
cp "$QUILLERY_BUILD_DIR/QuilleryMini" "$trial/"
[ -f "$QUILLERY_BUILD_DIR/velmo.dat" ] && cp "$QUILLERY_BUILD_DIR/velmo.dat" "$trial/"

cat >"$trial/read-tree.py" <<'EOF'
import os
import sys
import time

import pyatspi

program_pid = int(sys.argv[1])
expected = {"入力テキスト": "text", "変換テキスト": "text", "ステータスバー": "status bar"}
deadline = time.monotonic() + 30


def program_alive():
    try:
        os.kill(program_pid, 0)
        return True
    except OSError:
        return False


def find_application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is not None and app.get_process_id() == program_pid:
                return app
        except Exception:
            pass
    return None


def fields(node, found, depth=0):
    """(role, name) of every text field and status bar below node."""
    if node is None or depth > 30:
        return
    role = node.getRoleName()
    if role in ("text", "status bar"):
        found.append((role, node.name))
    for i in range(node.childCount):
        fields(node.getChildAtIndex(i), found, depth + 1)


found = []
while time.monotonic() < deadline and program_alive():
    app = find_application()
    if app is not None:
        found = []
        try:
            fields(app, found)
        except Exception:
            found = []  # the tree changed under us; read it again
        if all((role, name) in found for name, role in expected.items()):
            break
    time.sleep(0.1)

failures = []
if not program_alive():
    failures.append("the program ended before its window could be read")
elif not found:
    failures.append("the program never appeared on the accessibility bus")
for name, role in expected.items():
    if (role, name) not in found:
        failures.append(f"no {role} named {name!r} (found {found!r})")
names = [name for role, name in found if role == "text"]
if "" in names:
    failures.append(f"an unnamed text field (found {found!r})")
if len(set(names)) != len(names):
    failures.append(f"two text fields share a name (found {found!r})")
for line in failures:
    print(f"check_accessibility: {line}")
if os.environ.get("CHECK_VERBOSE"):
    print(found)
sys.exit(1 if failures else 0)
EOF

# dbus-run-session ends its bus when the inner script ends; the inner script ends what
# it started. A timeout keeps a hung bus from holding the stage.
status=0
timeout --kill-after=5 60 dbus-run-session -- "$0" --inside "$trial" 2>"$trial/session.log" ||
    status=$?
if [ "$status" -ne 0 ] && [ "$status" -ne 1 ]; then
    echo "check_accessibility: the accessibility session failed (status $status)"
    cat "$trial/session.log" "$trial/bus.log" "$trial/program.log" 2>/dev/null | sed 's/^/    /'
fi
exit "$status"
