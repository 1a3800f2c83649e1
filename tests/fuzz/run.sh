#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every fuzz target for a bounded time on a scratch copy of its seed corpus.
# usage: run.sh BUILD_DIR SECONDS
set -euo pipefail
build=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

for target in "$build"/tests/fuzz/fuzz_*; do
  [[ -x "$target" ]] || continue
  name=$(basename "$target")
  corpus="$scratch/$name"
  mkdir -p "$corpus"
  cp -r "$here/corpus/${name#fuzz_}/." "$corpus/" 2>/dev/null || true
  echo "== $name: ${seconds}s"
  "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$scratch/" \
    "$corpus" 2>"$scratch/$name.log" || {
    tail -n 40 "$scratch/$name.log"
    echo "$name found a crash"
    exit 1
  }
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$scratch/$name.log" | sed 's/^/   /'
done
