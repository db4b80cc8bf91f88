#!/usr/bin/env bash
# Installs what building, running and testing the tool need on Debian 12, skipping apt when
# everything is already present.
set -euo pipefail

packages=(
    g++ make cmake ninja-build              # build
    qt6-base-dev qt6-serialport-dev         # Qt 6 Widgets, SerialPort, Test
    fonts-wqy-microhei                      # Chinese captions render as text, not boxes
    xvfb xauth                              # a virtual display for headless runs
    socat                                   # pty pairs for trying the tool by hand
    libmodbus-dev mbpoll                    # third-party Modbus peers the tests check against
)

missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Run as root to install: ${missing[*]}" >&2; exit 1; }
    sudo="sudo"
fi
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
