#!/usr/bin/env bash
# Builds the Debian package (Release, programs only) and checks it without installing it: the
# package is unpacked into a temporary root and its programs run from there, with HOME and the
# XDG folders in a temporary folder.
#
#   bash scripts/check-package.sh [--build DIR]     (build-package by default)
#
# The programs: --version of all three; rvcps-cli new, read, write (the backup in
# $XDG_DATA_HOME) and print against the unpacked rvsim over a pseudo-terminal; --help of
# every verb; rvcps starting on the offscreen platform with its resources found and its
# settings written below $XDG_CONFIG_HOME. The files: desktop-file-validate, appstreamcli
# validate, lintian (errors fail), each manual page rendered, the completion loaded.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-package
if [ "${1:-}" = "--build" ]; then build=$2; fi
jobs=$(nproc)

echo "package: building in $build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRV_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$jobs" >/dev/null
rm -f "$build"/rvcps_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/rvcps_*_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || { echo "package: cpack made no package" >&2; exit 1; }
echo "package: $deb"

work=$(mktemp -d "${TMPDIR:-/tmp}/rvcps-package-XXXXXX")
sim_pid=""
cleanup() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

root=$work/root
dpkg-deb -x "$deb" "$root"
bin=$root/usr/bin
share=$root/usr/share
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
mkdir -p "$HOME"
export QT_QPA_PLATFORM=offscreen
# The programs are built without the sanitizers.
unset ASAN_OPTIONS UBSAN_OPTIONS

passed=0
failed=0
# check NAME COMMAND...: runs the command, its output in $work/out.
check() {
    local name=$1
    shift
    if "$@" >"$work/out" 2>&1; then
        passed=$((passed + 1))
        echo "package: ok     $name"
    else
        failed=$((failed + 1))
        echo "package: FAILED $name"
        sed 's/^/    /' "$work/out" | tail -n 20
    fi
}
# Output of the command must hold the text.
says() {
    local text=$1
    shift
    local out
    out=$("$@" 2>&1) || { printf '%s\n' "$out"; return 1; }
    printf '%s\n' "$out"
    grep -qF -- "$text" <<<"$out"
}

version=$(sed -n 's/^project(rvcps VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
check "rvcps-cli --version" says "rvcps-cli $version" "$bin/rvcps-cli" --version
check "rvsim --version" says "rvsim $version" "$bin/rvsim" --version
check "rvcps --version" says "rvcps $version" "$bin/rvcps" --version

# The command line against the simulated radio.
check "rvcps-cli new" "$bin/rvcps-cli" new --model RV205 --range 400-470 -o "$work/new.dat"
"$bin/rvsim" --model-id RV205 --model-name RV-205 --range 400-470 --load "$work/new.dat" \
    </dev/null >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
port=""
for _ in $(seq 100); do
    port=$(head -n 1 "$work/sim.out" 2>/dev/null || true)
    [ -n "$port" ] && break
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
done
check "rvsim tells its port" test -n "$port"
check "rvcps-cli read" "$bin/rvcps-cli" read --port "$port" -o "$work/read.dat"
check "rvcps-cli set" "$bin/rvcps-cli" set "$work/read.dat" "channels[1].rx_frequency=433.5" \
    -o "$work/edited.dat"
check "rvcps-cli write" "$bin/rvcps-cli" write --port "$port" "$work/edited.dat"
check "write keeps its backup in \$XDG_DATA_HOME" \
    bash -c 'ls "$1"/rvcps/Backups/*.dat' _ "$XDG_DATA_HOME"
check "rvcps-cli read after the write" "$bin/rvcps-cli" read --port "$port" -o "$work/back.dat"
check "the radio holds the written channel" says "433.50000" "$bin/rvcps-cli" dump "$work/back.dat"
check "rvcps-cli print" "$bin/rvcps-cli" print "$work/back.dat" -o "$work/report.pdf"
check "the report is a PDF" bash -c 'head -c 5 "$1" | grep -q "%PDF-"' _ "$work/report.pdf"
kill "$sim_pid" 2>/dev/null || true
wait "$sim_pid" 2>/dev/null || true
sim_pid=""
check "the command line wrote no settings" test ! -e "$XDG_CONFIG_HOME/rvcps"

# Help of every verb that the usage names.
verbs=$("$bin/rvcps-cli" --help |
    sed -n 's/^\(usage:\)\{0,1\} *rvcps-cli \(\[--home DIR\] \)\{0,1\}\([a-z][a-z-]*\).*/\3/p' | sort -u)
check "the usage names the verbs" test -n "$verbs"
for verb in $verbs; do
    check "rvcps-cli $verb --help" says "usage: rvcps-cli [--home DIR] $verb" \
        "$bin/rvcps-cli" "$verb" --help
done

# The desktop program: starts, finds its resources, writes its settings below XDG_CONFIG_HOME.
# Without its language file it would stop at a message box before it is ready (the time-out
# ends it then).
check "rvcps starts with its resources and is ready" env RVCPS_STARTUP_REPORT=quit \
    bash -c 'timeout 120 "$1" 2>&1 | grep -qx "rvcps: ready"' _ "$bin/rvcps"
check "rvcps keeps its settings in \$XDG_CONFIG_HOME" \
    grep -qi "^ModelID=" "$XDG_CONFIG_HOME/rvcps/Settings.ini"

# The files for the desktop, the manual pages, the completion.
check "desktop-file-validate" desktop-file-validate "$share/applications/org.rvcps.rvcps.desktop"
check "appstreamcli validate" appstreamcli validate --no-net \
    "$share/metainfo/org.rvcps.rvcps.metainfo.xml"
for size in 48x48 128x128 256x256 scalable; do
    check "icon $size" bash -c 'ls "$1"/rvcps.*' _ "$share/icons/hicolor/$size/apps"
done
for page in rvcps rvcps-cli rvsim; do
    check "man -l $page.1.gz" says "NAME" env MANWIDTH=80 man -l "$share/man/man1/$page.1.gz"
done
check "completion of rvcps-cli" bash -c \
    'source "$1" && complete -p rvcps-cli && _rvcps_cli_verbs "$2" | grep -qx write' \
    _ "$share/bash-completion/completions/rvcps-cli" "$bin/rvcps-cli"
check "lintian (errors fail)" lintian --fail-on error "$deb"
sed 's/^/    /' "$work/out"

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
