#!/usr/bin/env bash
# Installs what is missing, builds Tavrel (the application, tavrelctl and vrg500-sim) and starts
# it with the simulated VRG-500 listed beside the machine's serial ports (tavrel --demo), so there
# is a device to talk to even when none is attached. Arguments are passed to tavrel instead: `scripts/run.sh --plain` starts it plainly.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"${TAVREL_JOBS:-$(nproc)}" --target tavrel tavrelctl vrg500-sim

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "Tavrel is built (build/release/app/tavrel), but there is no display to show it on." >&2
    echo "Start it from a desktop session, or use build/release/cli/tavrelctl." >&2
    exit 1
fi

args=("$@")
if [ ${#args[@]} -eq 0 ]; then
    echo "Starting Tavrel with the simulated VRG-500 beside the machine's serial ports."
    args=(--demo)
elif [ "${args[0]}" = "--plain" ]; then
    args=("${args[@]:1}")
fi
exec build/release/app/tavrel "${args[@]}"
