#!/usr/bin/env bash
# Builds rvcps and starts it: against the radio when a USB-serial programming cable is plugged
# in (the port is named), otherwise against the simulated radio (scripts/demo.sh).
#
#   bash scripts/run.sh [--sim] [rvcps arguments]
#
#   --sim   use the simulated radio even when a cable is present
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
bin=build/bin

simulated=0
if [ "${1:-}" = "--sim" ]; then
    simulated=1
    shift
fi
if [ ! -x "$bin/rvcps" ]; then
    echo "run: $bin/rvcps was not built (is the desktop program switched off with -DRV_BUILD_GUI=OFF?)" >&2
    exit 1
fi

# The programming cables: USB serial adapters, in the order the program numbers its ports
# (USB adapters first, unless a "Ports" section of Settings.ini names the ports).
cables=()
if [ "$simulated" -eq 0 ]; then
    for device in /dev/ttyUSB* /dev/ttyACM*; do
        [ -c "$device" ] && cables+=("$device")
    done
fi
if [ ${#cables[@]} -eq 0 ]; then
    exec bash scripts/demo.sh --bin "$bin" -- "$@"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "run: no display; start it from a desktop session, or under xvfb-run" >&2
    exit 1
fi
# Value of key $2 in section $1 of the program directory's Settings.ini (case-insensitive).
ini_get() {
    awk -v section="[$1]" -v key="$2" '
        /^[ \t]*\[/ { inside = (tolower($0) ~ "^[ \t]*" tolower(section)); next }
        inside {
            k = $0; sub(/=.*/, "", k); gsub(/^[ \t]+|[ \t\r]+$/, "", k)
            if (tolower(k) == tolower(key)) {
                v = substr($0, index($0, "=") + 1); gsub(/^[ \t]+|[ \t\r]+$/, "", v)
                print v; exit
            }
        }' "$bin/Settings.ini" 2>/dev/null || true
}

n=1
for device in "${cables[@]}"; do
    access="ready"
    if [ ! -r "$device" ] || [ ! -w "$device" ]; then
        access="no access: join the dialout group (sudo usermod -aG dialout \$USER) and log in again"
    fi
    echo "run: programming cable on $device, port $n ($access)"
    n=$((n + 1))
done
port=$(ini_get Setting ComPort)
[[ "$port" =~ ^[0-9]+$ ]] || port=1
device=$(ini_get Ports "COM$port")
if [ -z "$device" ] && [ "$port" -ge 1 ] && [ "$port" -le ${#cables[@]} ]; then
    device=${cables[$((port - 1))]}
fi
echo "run: starting rvcps against the radio on port $port${device:+ ($device)};" \
    "Communication Port... chooses another"
exec "$bin/rvcps" "$@"
