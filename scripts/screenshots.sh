#!/usr/bin/env bash
# Takes the README's screenshots from the application's real windows, as a user sees them: on a
# virtual screen (Xvfb) with a small window manager (openbox) framing and placing the windows.
# For each state, build/screenshots/bench/app/app_screenshot brings the windows there against a
# simulated VRG-500 and prints the screen rectangle of the main window and any sheet or alert
# over it; that rectangle of the screen is saved as docs/NAME.png.
# Usage: scripts/screenshots.sh [STATE...]
#   states: main-window range-sheet progress-sheet error-alert about-box dark no-ports editing
#   comparison german help-viewer durations
#   (default: all)
set -euo pipefail
cd "$(dirname "$0")/.."

states=("$@")
[ ${#states[@]} -eq 0 ] && states=(main-window range-sheet progress-sheet error-alert about-box dark no-ports editing comparison german help-viewer durations)

build="${TAVREL_SCREENSHOT_BUILD:-build/screenshots}"
scripts/install-deps.sh screenshots
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"${TAVREL_JOBS:-$(nproc)}" --target app_screenshot
driver="$build/bench/app/app_screenshot"
# The manual where the build copies it, for the help window.
export XDG_DATA_DIRS="$PWD/$build/share:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}"

work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Waits up to 40 seconds for the command to succeed.
await() {
    for _ in $(seq 400); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "screenshots: gave up waiting for: $*" >&2
    return 1
}

# A free display chosen by Xvfb itself, reported on file descriptor 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
await test -s "$work/display"
export DISPLAY=":$(head -n1 "$work/display")"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
await xprop -root -notype _NET_SUPPORTING_WM_CHECK
await sh -c 'xprop -root -notype _NET_SUPPORTING_WM_CHECK | grep -q "window id"'

# What a plain X session gives the application: the xcb platform, no desktop theme.
export QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR XDG_CURRENT_DESKTOP

image_name() {
    case "$1" in
        dark) echo main-window-dark ;;
        no-ports) echo main-window-no-ports ;;
        editing) echo editing-refused ;;
        german) echo main-window-german ;;
        *) echo "$1" ;;
    esac
}

shoot() {
    local state="$1" output
    output="docs/$(image_name "$state").png"
    rm -f "$work/in" "$work/out"
    mkfifo "$work/in"
    "$driver" "$state" <"$work/in" >"$work/out" 2>"$work/$state.log" &
    local pid=$!
    # Holding the driver's input open keeps its windows up; closing it lets the driver quit.
    exec 5>"$work/in"
    if ! await grep -q '^ready ' "$work/out"; then
        exec 5>&-
        wait "$pid" || true
        cat "$work/$state.log" >&2
        return 1
    fi
    local x y width height
    read -r _ x y width height <"$work/out"
    # ImageMagick's import, not xwd -root: on Xvfb, xwd -root reads a window that has a parent
    # (every sheet and alert) as black.
    import -silent -window root "$work/screen.png"
    exec 5>&-
    wait "$pid"
    convert "$work/screen.png" -crop "${width}x${height}+${x}+${y}" +repage -strip "PNG8:$output"
    echo "$output ${width}x${height}"
}

for state in "${states[@]}"; do
    shoot "$state"
done
