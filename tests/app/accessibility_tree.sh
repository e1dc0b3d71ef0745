#!/usr/bin/env bash
# Runs accessibility_tree.py against TAVREL_PROGRAM as a screen reader meets it, on a machine with
# no display and no session: under an Xvfb display of its own (the first free number) and a
# private D-Bus session bus, on which the AT-SPI bus launcher and its registry start at the first
# request and end with the bus. Settings and the buses' sockets stay in a scratch folder.
# Usage: accessibility_tree.sh TAVREL_PROGRAM
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

# Debian's own Python, which python3-pyatspi serves (not one earlier on the PATH).
python=/usr/bin/python3
missing=""
for tool in Xvfb dbus-run-session /usr/libexec/at-spi-bus-launcher "$python"; do
    command -v "$tool" >/dev/null || missing+=" $tool"
done
"$python" -c "import pyatspi" 2>/dev/null || missing+=" pyatspi"
if [ -n "$missing" ]; then
    echo "Missing:$missing (scripts/install-deps.sh test installs them)" >&2
    exit 1
fi

work="$(mktemp -d)"
xvfb=""
cleanup() {
    if [ -n "$xvfb" ]; then
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb writes the display number it took once it accepts connections. -noreset: the AT-SPI bus
# launcher's short connection would otherwise leave the server resetting, refusing Tavrel's.
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x1024x24 \
    3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
deadline=$((SECONDS + 20))
until [ -s "$work/display" ]; do
    if ! kill -0 "$xvfb" 2>/dev/null || [ "$SECONDS" -ge "$deadline" ]; then
        echo "Xvfb did not start:" >&2
        cat "$work/xvfb.log" >&2
        exit 1
    fi
    sleep 0.1
done

mkdir -m 700 "$work/runtime"
export DISPLAY=":$(cat "$work/display")" HOME="$work" XDG_CONFIG_HOME="$work/config" \
    XDG_RUNTIME_DIR="$work/runtime"
unset AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS
dbus-run-session -- "$python" "$here/accessibility_tree.py" "$1"
