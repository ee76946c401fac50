#!/usr/bin/env bash
# Starts rvcps against the simulated radio, so that everything can be tried without a radio:
# a temporary program directory with copies of the built resources, the simulated radio
# (rvsim) on a pseudo-terminal with the memory of the default set, that terminal named as port
# COM1 in the directory's Settings.ini, then rvcps on that directory. The simulated radio is
# stopped and the directory removed when rvcps ends.
#
#   bash scripts/demo.sh [--paced] [--bin DIR] [-- rvcps arguments]
#
#   --paced    the simulated radio sends at the real line rate (9600 baud), as a radio does
#   --bin DIR  where rvcps and rvsim are (build/bin)
#
# A plain `build/bin/rvcps` start uses the real serial ports instead.
set -euo pipefail
cd "$(dirname "$0")/.."

bin=build/bin
sim_args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --paced) sim_args+=(--paced); shift ;;
        --bin) bin=$2; shift 2 ;;
        --) shift; break ;;
        *) break ;;
    esac
done

for prog in rvcps rvsim; do
    if [ ! -x "$bin/$prog" ]; then
        echo "demo: $bin/$prog is missing; build first (bash scripts/run.sh)" >&2
        exit 1
    fi
done
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "demo: no display; start it from a desktop session, or under xvfb-run" >&2
    exit 1
fi

home=$(mktemp -d "${TMPDIR:-/tmp}/rvcps-demo-XXXXXX")
sim_pid=""
cleanup() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$home"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

find "$bin" -maxdepth 1 -type f \( -name '*.lng' -o -name '*.dat' -o -name '*.ini' \
    -o -name '*.jpg' -o -name '*.html' \) -exec cp {} "$home"/ \;

# Value of key $3 in section $2 of INI file $1 (sections and keys case-insensitive).
ini_get() {
    awk -v section="[$2]" -v key="$3" '
        /^[ \t]*\[/ { inside = (tolower($0) ~ "^[ \t]*" tolower(section)) ; next }
        inside {
            split($0, kv, "=")
            k = kv[1]; gsub(/^[ \t]+|[ \t\r]+$/, "", k)
            if (tolower(k) == tolower(key)) {
                v = substr($0, index($0, "=") + 1); gsub(/^[ \t]+|[ \t\r]+$/, "", v)
                print v; exit
            }
        }' "$1"
}

settings="$home/Settings.ini"
model=$(ini_get "$settings" Setting ModelID)
name=$(ini_get "$settings" Setting ModelName)
range=$(ini_get "$settings" Setting FreqRange)
signal=$(ini_get "$settings" Setting Signal)
model=${model:-RV205}
range=${range:-400-470}

# The band code of the range, from the model's "Freq<n> = low, high, low, high, code" lines.
band=$(awk -v section="[$model]" -v range="$range" -F'=' '
    /^[ \t]*\[/ { inside = (tolower($0) ~ "^[ \t]*" tolower(section)); next }
    inside && tolower($1) ~ /^[ \t]*freq[0-9]+[ \t]*$/ {
        n = split($2, f, ",")
        for (i = 1; i <= n; i++) gsub(/[ \t\r]/, "", f[i])
        if (n >= 5 && f[1] "-" f[2] == range) { print f[5]; exit }
    }' "$home/Model.dat")

sim_args+=(--model-id "$model" --range "$range")
[ -n "$name" ] && sim_args+=(--model-name "$name")
[ -n "$band" ] && sim_args+=(--band "$band")
[ -n "$signal" ] && sim_args+=(--signal "$signal")
default_set="$home/${model}${range}DefaultSet.dat"
[ -f "$default_set" ] && sim_args+=(--load "$default_set")

"$bin/rvsim" "${sim_args[@]}" </dev/null >"$home/rvsim.out" 2>"$home/rvsim.err" &
sim_pid=$!
device=""
for _ in $(seq 100); do
    device=$(head -n 1 "$home/rvsim.out" 2>/dev/null || true)
    [ -n "$device" ] && break
    if ! kill -0 "$sim_pid" 2>/dev/null; then
        echo "demo: the simulated radio did not start:" >&2
        cat "$home/rvsim.err" >&2
        sim_pid=""
        exit 1
    fi
    sleep 0.1
done
if [ -z "$device" ]; then
    echo "demo: the simulated radio did not report its port" >&2
    exit 1
fi

# Port 1 is the simulated radio: "ComPort=1" in [Setting] and "COM1=<device>" in [Ports].
awk -v device="$device" '
    function flush_ports() { if (in_ports && !done_ports) { print "COM1=" device; done_ports = 1 } }
    /^[ \t]*\[/ {
        flush_ports()
        lower = tolower($0)
        in_setting = (lower ~ /^[ \t]*\[setting\]/)
        in_ports = (lower ~ /^[ \t]*\[ports\]/)
        print
        if (in_setting) { print "ComPort=1"; done_setting = 1 }
        next
    }
    in_setting && tolower($0) ~ /^[ \t]*comport[ \t]*=/ { next }
    in_ports && tolower($0) ~ /^[ \t]*com1[ \t]*=/ { next }
    { print }
    END {
        flush_ports()
        if (!done_setting) { print "[Setting]"; print "ComPort=1" }
        if (!done_ports) { print ""; print "[Ports]"; print "COM1=" device }
    }' "$settings" >"$settings.new"
mv "$settings.new" "$settings"

echo "demo: simulated ${name:-$model} ($range MHz) on $device as COM1; program directory $home"
status=0
"$bin/rvcps" --home "$home" "$@" || status=$?
exit "$status"
