#!/usr/bin/env bash
# Start-up benchmark: the program against a bare Qt window with the same six
# controls (bench_bare_window), each started RUNS times (20 by default),
# taking turns, under a private Xvfb without a window manager.  For every
# start startup_probe gives the time from exec to the window being mapped
# and to its first paint, and the peak resident memory; this prints the
# medians and the program's ratios to the bare window.
#
#   bench/startup.sh [BUILD_DIR [RUNS]]      (BUILD_DIR: build/ci)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/ci}
runs=${2:-20}
program=$build/kvix-quendral
bare=$build/bench/bench_bare_window
probe=$build/bench/startup_probe
for f in "$program" "$bare" "$probe"; do
    [ -x "$f" ] || { echo "startup.sh: $f is missing; build first: cmake --build --preset ci (the probe needs libxcb-damage0-dev)" >&2; exit 1; }
done
command -v Xvfb >/dev/null || { echo "startup.sh: Xvfb is missing (Debian: xvfb)" >&2; exit 1; }

# A display number nobody uses, and a server that does not reset when the
# last client leaves (a reset would refuse the next start for a moment).
display=90
while [ -e /tmp/.X11-unix/X$display ] || [ -e /tmp/.X$display-lock ]; do
    display=$((display + 1))
done
work=$(mktemp -d)
Xvfb :$display -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do
    [ -e /tmp/.X11-unix/X$display ] && break
    sleep 0.1
done
export DISPLAY=:$display
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

echo "Machine: $(nproc) cores; load before: $(cut -d' ' -f1-3 /proc/loadavg)"
# One start of each first, not counted: the files they read are then cached
# for both alike.
"$probe" "$program" >/dev/null 2>&1
"$probe" "$bare" >/dev/null 2>&1
for i in $(seq "$runs"); do
    for which in program bare; do
        binary=$program
        [ $which = bare ] && binary=$bare
        echo "$which $("$probe" "$binary" 2>/dev/null)" >>"$work/results"
    done
done
echo "Load after: $(cut -d' ' -f1-3 /proc/loadavg)"

# median WHICH FIELD: the median of that field over the runs of one binary.
median() {
    grep "^$1 " "$work/results" | tr ' ' '\n' | grep "^$2=" | cut -d= -f2 | sort -g |
        awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
echo
printf '%-28s %12s %12s %8s\n' "median of $runs starts" "program" "bare window" "ratio"
for field in map_ms paint_ms peak_rss_kb; do
    p=$(median program $field)
    b=$(median bare $field)
    case $field in
        map_ms) label="exec to window mapped, ms" ;;
        paint_ms) label="exec to first paint, ms" ;;
        peak_rss_kb) label="peak resident memory, KiB" ;;
    esac
    awk -v l="$label" -v p="$p" -v b="$b" 'BEGIN {
        r = p / b
        printf "%-28s %12.1f %12.1f %7.3fx%s\n", l, p, b, r, (l ~ /mapped/) ? "" : (r <= 1.10 ? "  (target <= 1.10x: met)" : "  (target <= 1.10x: NOT MET)")
    }'
done
