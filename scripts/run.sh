#!/usr/bin/env bash
# Installs what is missing, builds the tool and the virtual device, starts the virtual R7260S on a
# pseudo-terminal and the tool with COM1 wired to it; the virtual device ends with the tool.
# Options for the virtual device go in R7260_SIM_ARGS (e.g. R7260_SIM_ARGS="--verbose --split").
# Against real hardware start the tool alone: build/app/r7260-tool (see "Virtual device" in the
# README).
set -euo pipefail
cd "$(dirname "$0")/.."

# Before anything is installed or built: without a display the window cannot open.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    cat >&2 <<'MSG'
No display found (neither DISPLAY nor WAYLAND_DISPLAY is set), so the tool's window cannot open.
Run this from a desktop session, over "ssh -X", or in a virtual display (the install step
brings xvfb-run, from the Debian package xvfb):
    scripts/install-deps.sh
    xvfb-run -a -s "-screen 0 1366x768x24" scripts/run.sh
MSG
    exit 1
fi

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DR7260_TESTS=OFF >/dev/null
# The command-line tool too, so that all three programs stand in build/ afterwards.
cmake --build build -j 2 --target r7260-tool r7260-sim r7260-cli

# Qt wants a private runtime folder (it warns without one); a root shell or a plain ssh or
# xvfb-run session often has none. The virtual device's link goes there too.
runtime_dir=""
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    runtime_dir="$(mktemp -d "${TMPDIR:-/tmp}/r7260-runtime.XXXXXX")" # mode 0700
    export XDG_RUNTIME_DIR="$runtime_dir"
fi

link="$XDG_RUNTIME_DIR/ttyR7260sim.$$"
sim_pid=""
cleanup() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    if [ -n "$runtime_dir" ]; then
        rm -rf -- "$runtime_dir"
    fi
}
trap cleanup EXIT

# shellcheck disable=SC2086 # R7260_SIM_ARGS is a list of options
build/sim/r7260-sim --link "$link" ${R7260_SIM_ARGS:-} >/dev/null &
sim_pid=$!

for _ in $(seq 100); do
    [ -L "$link" ] && break
    kill -0 "$sim_pid" 2>/dev/null || { echo "The virtual device did not start." >&2; exit 1; }
    sleep 0.05
done
[ -L "$link" ] || { echo "The virtual device did not create $link." >&2; exit 1; }

echo "Virtual R7260S (address 1, 9600 baud) on $link, wired to COM1: choose COM1 and press 打开."
R7260_COM1="$link" build/app/r7260-tool "$@"
