#!/usr/bin/env bash
# Installs what is missing, builds, and starts the tool.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DR7260_TESTS=OFF >/dev/null
cmake --build build -j 2

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    cat >&2 <<'MSG'
No display found (neither DISPLAY nor WAYLAND_DISPLAY is set), so the tool's window cannot open.
Run this from a desktop session, over "ssh -X", or in a virtual display:
    xvfb-run -a -s "-screen 0 1366x768x24" scripts/run.sh
MSG
    exit 1
fi

exec build/app/r7260-tool "$@"
