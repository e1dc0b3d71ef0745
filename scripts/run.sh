#!/usr/bin/env bash
# Installs what is missing, builds Tavrel and starts it. With no serial port on the machine it
# starts with the simulated VRG-500 (tavrel --demo). Arguments are passed to tavrel.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"${TAVREL_JOBS:-$(nproc)}" --target tavrel tavrelctl

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "Tavrel is built (build/release/app/tavrel), but there is no display to show it on." >&2
    echo "Start it from a desktop session, or use build/release/cli/tavrelctl." >&2
    exit 1
fi

args=("$@")
if [ ${#args[@]} -eq 0 ] && [ -z "$(build/release/cli/tavrelctl ports 2>/dev/null)" ]; then
    echo "No serial port found: starting with the simulated VRG-500 (tavrel --demo)."
    args=(--demo)
fi
exec build/release/app/tavrel "${args[@]}"
