#!/usr/bin/env bash
# How much CPU tarno uses while it runs the demonstration under Xvfb (software OpenGL): the
# whole process and each thread as a percentage of one core, and the frames drawn per second.
#
#   bench/redraw-cpu.sh [--view VIEW] [--seconds N] [--binary PATH] [-- ARGS]
#
#   wave         the demonstration's real-wave view with the heat map (the default settings)
#   waterfall    the same recording in the waterfall view (set in the stored configuration)
#   power        the demonstration's power view (second generation), normal trigger: a trace
#                per trigger
#   power-persist  the same with 20 s of persistence (the longest) instead of 2 s
#   ssid-table   the real-wave view with the SSID table open over it
#   utilization  the real-wave view with the utilization table open over it
#   static       no recordings to play: nothing on screen changes
# ARGS go to tarno (for example --redraw-every-frame, to compare with drawing every frame, or
# --whole-frames, to compare with drawing every drawn frame whole).
# Settings live in a temporary HOME and XDG_DATA_HOME, so the user's stored ones stay as they are.
set -euo pipefail

view=wave
seconds=20
warmup=4
here=$(cd "$(dirname "$0")/.." && pwd)
binary="$here/build/default/app/tarno"
extra=()
while [[ $# -gt 0 ]]; do
    case "$1" in
        --view) view=$2; shift 2 ;;
        --seconds) seconds=$2; shift 2 ;;
        --binary) binary=$2; shift 2 ;;
        --) shift; extra=("$@"); break ;;
        *) echo "redraw-cpu: unknown argument $1" >&2; exit 2 ;;
    esac
done
case "$view" in wave|waterfall|power|power-persist|ssid-table|utilization|static) ;; *) echo "redraw-cpu: unknown view $view" >&2; exit 2 ;; esac
[[ -x "$binary" ]] || { echo "redraw-cpu: no tarno at $binary (build it first)" >&2; exit 1; }
command -v Xvfb >/dev/null || { echo "redraw-cpu: Xvfb is not installed" >&2; exit 1; }

scratch=$(mktemp -d)
xvfb_pid=
tarno_pid=
cleanup() {
    [[ -n "$tarno_pid" ]] && kill "$tarno_pid" 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

export HOME="$scratch/home"
export XDG_DATA_HOME="$scratch/data"
mkdir -p "$HOME" "$XDG_DATA_HOME"
unset WAYLAND_DISPLAY SDL_VIDEODRIVER

# Without recordings the demonstration has nothing to play: an installed layout whose resources
# are the build's, less the packets.
if [[ "$view" == static ]]; then
    resources=$(dirname "$binary")/../Resources
    [[ -d "$resources/res" ]] || resources="$here/build/default/Resources"
    mkdir -p "$scratch/install/bin" "$scratch/install/share/tarno/res"
    cp "$binary" "$scratch/install/bin/tarno"
    for entry in "$resources"/res/*; do
        [[ "$(basename "$entry")" == packets ]] && continue
        ln -s "$(readlink -f "$entry")" "$scratch/install/share/tarno/res/"
    done
    binary="$scratch/install/bin/tarno"
fi

# A display of our own; Xvfb names a free number on the descriptor it is given.
mkfifo "$scratch/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 10 display <"$scratch/display" || { echo "redraw-cpu: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display"

# The waterfall and power views are stored settings: let a first run store the defaults, then
# change bytes of the stored records (offsets as model/config/RecordImages.cpp writes them).
patch_stored() {
    "$binary" >/dev/null 2>&1 &
    tarno_pid=$!
    sleep 3
    kill "$tarno_pid" && wait "$tarno_pid" 2>/dev/null || true
    tarno_pid=
    python3 - "$XDG_DATA_HOME" "$@" <<'EOF'
import os, sqlite3, sys
# Arguments after the directory: key offset value, repeated.
edits = [(sys.argv[i], int(sys.argv[i + 1]), int(sys.argv[i + 2])) for i in range(2, len(sys.argv), 3)]
changed = 0
for root, _, files in os.walk(sys.argv[1]):
    for name in files:
        try:
            db = sqlite3.connect(os.path.join(root, name))
            for key, offset, byte in edits:
                rows = db.execute("SELECT value FROM entries WHERE key = ?", (key,)).fetchall()
                for (value,) in rows:
                    value = bytearray(value)
                    value[offset] = byte
                    db.execute("UPDATE entries SET value = ? WHERE key = ?", (bytes(value), key))
                    changed += 1
            db.commit()
            db.close()
        except sqlite3.Error:
            continue
if changed < len(edits):
    sys.exit("redraw-cpu: the stored configuration lacks a record to change")
EOF
}
case "$view" in
    # viewMode: waterfall
    waterfall) patch_stored config0.spectrum_settings 0 1 ;;
    # spectrumMode: power; triggerAuto: normal; the second generation, which has a power meter
    power) patch_stored config0.common_settings 11 0 config0.power_setting 24 0 config0.demo 0 1 ;;
    # persistTime: 20.0f (little-endian 00 00 a0 41) for 2.0f
    power-persist) patch_stored config0.common_settings 11 0 config0.power_setting 24 0 config0.demo 0 1 \
        config0.power_setting 6 160 config0.power_setting 7 65 ;;
    ssid-table) extra=(--open-table ssid "${extra[@]}") ;;
    utilization) extra=(--open-table utilization "${extra[@]}") ;;
esac

ticks=$(getconf CLK_TCK)
# Per thread: "tid name ticks" (name without spaces; utime + stime).
sample() {
    for stat in /proc/"$tarno_pid"/task/*/stat; do
        [[ -r "$stat" ]] || continue
        line=$(cat "$stat" 2>/dev/null) || continue
        tid=${line%% *}
        name=${line#*(}; name=${name%)*}; name=${name// /_}
        rest=${line##*) }
        read -r -a f <<<"$rest"
        echo "$tid $name $((f[11] + f[12]))"
    done
}
process_ticks() {
    local line rest
    line=$(cat /proc/"$tarno_pid"/stat)
    rest=${line##*) }
    read -r -a f <<<"$rest"
    echo $((f[11] + f[12]))
}

log="$scratch/tarno.log"
start=$(date +%s.%N)
"$binary" --stats "${extra[@]}" >"$log" 2>&1 &
tarno_pid=$!
sleep "$warmup"
kill -0 "$tarno_pid" 2>/dev/null || { echo "redraw-cpu: tarno ended early:" >&2; cat "$log" >&2; exit 1; }
before=$(sample)
process_before=$(process_ticks)
t0=$(date +%s.%N)
sleep "$seconds"
after=$(sample)
process_after=$(process_ticks)
t1=$(date +%s.%N)
# SDL turns SIGTERM into a quit request: tarno ends its loop and prints its statistics.
kill -TERM "$tarno_pid"
wait "$tarno_pid" || true
tarno_pid=
end=$(date +%s.%N)

echo "tarno, $view view, ${seconds} s under Xvfb (after ${warmup} s of warm-up); $(nproc) cores"
awk -v t0="$t0" -v t1="$t1" -v hz="$ticks" -v pb="$process_before" -v pa="$process_after" '
    FNR == NR { start[$1] = $3; next }
    {
        used = $3 - ($1 in start ? start[$1] : 0)
        row[++n] = sprintf("  %-16s %7d %5.1f %%", $2, $1, 100 * used / hz / (t1 - t0))
    }
    END {
        printf "  whole process: %5.1f %% of one core\n", 100 * (pa - pb) / hz / (t1 - t0)
        printf "  %-16s %7s %7s\n", "thread", "id", "CPU"
        for (i = 1; i <= n; ++i)
            print row[i]
    }' <(echo "$before") <(echo "$after")
drawn=$(sed -n 's/^frames drawn: //p' "$log")
if [[ -n "$drawn" ]]; then
    awk -v n="$drawn" -v s="$start" -v e="$end" \
        'BEGIN { printf "  frames drawn: %d in %.1f s, %.1f per second\n", n, e - s, n / (e - s) }'
fi
# The whole-process CPU per drawn frame, overall and per view shown.
grep -E '^(frames skipped|frame CPU)' "$log" | sed 's/^/  /' || true
