#!/usr/bin/env bash
# The streaming figures of tarno-cli on this computer:
#   1. sweeps per second `tarno-cli sweep --simulated-time` prints (JSON and CSV);
#   2. MQTT messages per second through the publisher to a local mosquitto, QoS 0 and 1;
#   3. the resident memory of `tarno-cli sweep --mqtt` while its broker is away for SECONDS.
#
#   bench/publish-rates.sh [--seconds N] [--build DIR]
# Everything runs on 127.0.0.1; the broker lives in a temporary directory.
set -euo pipefail

seconds=60
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build/default"
while [[ $# -gt 0 ]]; do
    case "$1" in
        --seconds) seconds=$2; shift 2 ;;
        --build) build=$2; shift 2 ;;
        *) echo "publish-rates: unknown argument $1" >&2; exit 2 ;;
    esac
done
cli="$build/tools/tarno-cli/tarno-cli"
bench="$build/bench/publish/publish_bench"
for program in "$cli" "$bench"; do
    [[ -x "$program" ]] || { echo "publish-rates: no $program (build it first)" >&2; exit 1; }
done
broker=$(command -v mosquitto || echo /usr/sbin/mosquitto)
work=$(mktemp -d /tmp/tarno-publish-rates-XXXXXX)
broker_pid=
cleanup() {
    [[ -n "$broker_pid" ]] && kill "$broker_pid" 2>/dev/null && wait "$broker_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

free_port() {
    python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

echo "== sweeps per second (demonstration of hardware 2, 2.4 GHz, 256 points)"
count=20000
for format in json csv; do
    start=$(date +%s.%N)
    "$cli" sweep --demo 2 --signal 1 --simulated-time --format "$format" --count "$count" \
        --resources "$build/Resources" >/dev/null
    end=$(date +%s.%N)
    awk -v n="$count" -v a="$start" -v b="$end" -v f="$format" \
        'BEGIN { printf "  %-4s %d sweeps in %.2f s: %.0f sweeps/s\n", f, n, b - a, n / (b - a) }'
done

echo "== MQTT messages per second to mosquitto on 127.0.0.1"
port=$(free_port)
printf 'listener %s 127.0.0.1\nallow_anonymous true\nuser %s\n' "$port" "$(id -un)" \
    >"$work/mosquitto.conf"
"$broker" -c "$work/mosquitto.conf" 2>"$work/broker.log" &
broker_pid=$!
for _ in $(seq 200); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.05
done
TARNO_BENCH_BROKER_PORT=$port "$bench" --benchmark_filter=BM_MqttMessages 2>/dev/null |
    grep BM_ || true
kill "$broker_pid"; wait "$broker_pid" 2>/dev/null || true; broker_pid=

echo "== memory while the broker is away for $seconds s (sweeps as fast as simulated time goes)"
dead=$(free_port)
"$cli" sweep --demo 2 --signal 1 --simulated-time --format json --trace live,max,avg,decay \
    --mqtt "mqtt://127.0.0.1:$dead" --resources "$build/Resources" >/dev/null 2>"$work/cli.log" &
cli_pid=$!
for ((t = 0; t <= seconds; t += 10)); do
    rss=$(awk '/VmRSS/ { print $2 }' "/proc/$cli_pid/status" 2>/dev/null || echo gone)
    echo "  t=${t}s  VmRSS ${rss} kB"
    [[ $t -lt $seconds ]] && sleep 10
done
kill -INT "$cli_pid"; wait "$cli_pid" || true
sed 's/^/  /' "$work/cli.log" | tail -3
