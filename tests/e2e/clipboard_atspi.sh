#!/usr/bin/env bash
# Drives the real program the way a person would, on a virtual display of its own with an
# accessibility bus: clipboard_atspi.sh PATH-TO-quenvarlith
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
for tool in xvfb-run dbus-run-session xclip /usr/bin/python3; do
  command -v "$tool" >/dev/null || { echo "missing $tool (scripts/deps.sh installs it)" >&2; exit 1; }
done
# The window must run on the virtual display, not offscreen as the unit tests do.
unset QT_QPA_PLATFORM
exec xvfb-run -a -s "-screen 0 1280x800x24" dbus-run-session -- /usr/bin/python3 "$here/clipboard_atspi.py" "$1"
