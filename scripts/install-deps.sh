#!/usr/bin/env bash
# Installs what building, running, testing and packaging the tool need on Debian 12, skipping apt
# when everything is already present. apt's and dpkg's output goes to a log file
# (${XDG_CACHE_HOME:-$HOME/.cache}/r7260-tool/install.log); the console gets one line when nothing
# is missing, two when something is installed ("Installing ...", "Installed N packages"), or on
# failure the log's last lines.
set -euo pipefail

packages=(
    g++ make cmake ninja-build              # build
    qt6-base-dev qt6-serialport-dev         # Qt 6 Widgets, SerialPort, Test
    libqcustomplot-dev                      # the scope's plot (QCustomPlot, Qt 6 build)
    libfontconfig-dev                       # the tool loads the font configuration early
    qt6-tools-dev qt6-l10n-tools            # Qt6LinguistTools: lupdate, lrelease (translations)
    python3                                 # the translations' check (scripts/check-translations.py)
    fonts-wqy-microhei                      # Chinese captions render as text, not boxes
    xvfb xauth                              # a virtual display for headless runs
    socat                                   # pty pairs for trying the tool by hand
    ser2net                                 # serves a line as tcp:// and rfc2217:// (tests, benches)
    libmodbus-dev mbpoll                    # third-party Modbus peers the tests check against
    dpkg-dev file                           # cpack -G DEB: dpkg-shlibdeps works out the Depends
    help2man                                # the manual pages, made from the programs' --help
    clang libclang-rt-14-dev                # fuzz targets: libFuzzer and the sanitizers' runtimes
)

# Present means installed: dpkg -s also knows packages that were removed but left their
# configuration behind.
installed() {
    dpkg -s "$1" 2>/dev/null | grep -q '^Status: install ok installed$'
}

missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "All build dependencies present"
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Run as root to install: ${missing[*]}" >&2; exit 1; }
    sudo="sudo"
fi

log_dir="${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/r7260-tool"
log="$log_dir/install.log"
mkdir -p "$log_dir"
: >"$log"

count_installed() {
    dpkg-query -W -f='${db:Status-Status}\n' | grep -c '^installed$' || true
}

failed() {
    echo "Installing the build dependencies failed; the end of $log:" >&2
    tail -n 25 "$log" >&2
    echo "Full log: $log" >&2
    exit 1
}

echo "Installing ${missing[*]} (log: $log)"
before=$(count_installed)
# Waits for a lock held by another apt (say, unattended upgrades on a new machine) instead of failing.
apt=(env DEBIAN_FRONTEND=noninteractive apt-get -q -o DPkg::Lock::Timeout=300)
[ -z "$sudo" ] || apt=("$sudo" "${apt[@]}")
{
    echo "== $(date -Is) apt-get update"
    "${apt[@]}" update
} >>"$log" 2>&1 || failed
{
    echo "== $(date -Is) apt-get install ${missing[*]}"
    "${apt[@]}" install -y --no-install-recommends "${missing[@]}"
} >>"$log" 2>&1 || failed

# apt-get succeeding is not taken for granted: every package asked for must now be installed.
still=()
for p in "${missing[@]}"; do
    installed "$p" || still+=("$p")
done
if [ ${#still[@]} -ne 0 ]; then
    echo "Not installed after apt-get: ${still[*]}" >>"$log"
    failed
fi

after=$(count_installed)
echo "Installed $((after - before)) packages (log: $log)"
