#!/usr/bin/env bash
# Builds the program and the virtual instrument (not the tests) and starts the program connected to
# the virtual instrument on a pseudo-terminal.
# A throw-away configuration folder holds the com1 link, so the user's own settings stay untouched.
# Extra arguments go to the virtual instrument (quarvel-sim --help lists them).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target quarvel quarvel-sim

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} && -z ${QT_QPA_PLATFORM:-} ]]; then
  echo "No display found. Start the program under a virtual display instead:" >&2
  echo "  xvfb-run -a $0 $*" >&2
  exit 1
fi

config_home=$(mktemp -d)
trap 'kill "$sim_pid" 2>/dev/null || true; rm -rf "$config_home"' EXIT
mkdir -p "$config_home/Quarvel"
device_file="$config_home/device"
build/sim/quarvel-sim --link "$config_home/Quarvel/com1" "$@" >"$device_file" &
sim_pid=$!
for _ in $(seq 50); do [[ -s $device_file ]] && break; sleep 0.1; done
echo "Virtual instrument on $(cat "$device_file"), linked as port 1."
XDG_CONFIG_HOME="$config_home" build/src/app/quarvel
