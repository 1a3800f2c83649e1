#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Generates activity logs of 100k, 1M, 5M and 20M records (about 106 bytes each, 2 GB)
# into a temporary folder, times `cat LOG > /dev/null` on each as the floor,
# runs the scan benchmarks on them (and on a sparse 2 GB log of one huge line,
# which they write there themselves), times `tesuko --version` and a week's
# report of the 5M log from its cache as whole processes, then the report
# benchmarks on a ten-year log, and deletes the logs.
#   bash bench/run.sh BUILD_DIR [benchmark flags...]
# TESUKO_BENCH_SIZES="100k:100000 1M:1000000" limits the logs.
set -euo pipefail
export LC_ALL=C

build=${1:?usage: bench/run.sh BUILD_DIR [benchmark flags...]}
shift
generate=$build/bench/tesuko_generate_log
benchmarks=$build/bench/tesuko_scan_bench
sizes=${TESUKO_BENCH_SIZES:-"100k:100000 1M:1000000 5M:5000000 2G:20000000"}

logs=$(mktemp -d "${TMPDIR:-/tmp}/tesuko-bench.XXXXXX")
trap 'rm -rf "$logs"' EXIT

# The best of 5 runs of a command, in seconds, after one that warms the
# page cache (and the command's own).
fastest() {
    local best="" start end took
    "$@" > /dev/null
    for _ in 1 2 3 4 5; do
        start=$EPOCHREALTIME
        "$@" > /dev/null
        end=$EPOCHREALTIME
        took=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.6f", e - s }')
        if [[ -z $best ]] || awk -v t="$took" -v b="$best" 'BEGIN { exit !(t < b) }'; then
            best=$took
        fi
    done
    echo "$best"
}

for size in $sizes; do
    label=${size%%:*}
    records=${size#*:}
    "$generate" "$logs/$label.csv" "$records"
    seconds=$(fastest cat "$logs/$label.csv")
    export "TESUKO_CAT_SECONDS_$label=$seconds"
    awk -v l="$label" -v s="$seconds" -v b="$(stat -c %s "$logs/$label.csv")" -v n="$records" \
        'BEGIN { printf "cat %s.csv > /dev/null: %.1f ms, best of 5 (%.1f MB, %d records, %.1f bytes a record)\n",
                 l, s * 1e3, b / 1e6, n, b / n }'
done

TESUKO_BENCH_LOGS=$logs "$benchmarks" "$@"

# The command line as a user meets it: whole processes, start-up included,
# in a private home (the report's cache lives there).
if [[ -f $logs/5M.csv ]]; then
    mkdir -m 700 "$logs/home"
    command_time() {
        awk -v s="$(HOME=$logs/home XDG_CACHE_HOME=$logs/home/.cache XDG_CONFIG_HOME=$logs/home/.config \
                    fastest "$build/app/tesuko" "$@")" -v c="tesuko $*" \
            'BEGIN { printf "%s: %.1f ms, best of 5\n", c, s * 1e3 }'
    }
    command_time --version
    command_time report --week --log "$logs/5M.csv"
fi

# The report: a ten-year log of 3.7M records (400 MB), intervals of up to 170 s.
"$generate" "$logs/10y.csv" 3700000 1 170
awk -v b="$(stat -c %s "$logs/10y.csv")" 'BEGIN { printf "10y.csv: %.1f MB, 3700000 records\n", b / 1e6 }'
TESUKO_BENCH_LOGS=$logs "$build/bench/tesuko_report_bench" "$@"
rm -f "$logs/10y.csv"

# One application switch with 5, 100 and 5,000 windows open, in a private X
# session, then on a stand-in wlroots compositor.
"$build/bench/x11/tesuko_x11_bench"
"$build/bench/wlr/tesuko_wlr_bench"
