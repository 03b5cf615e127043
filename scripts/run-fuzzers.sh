#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a few seconds from its seed corpus.
# Usage: run-fuzzers.sh BUILD_DIR SECONDS
set -euo pipefail
build=$(cd "$1" && pwd)
seconds=$2
root="$(cd "$(dirname "$0")/.." && pwd)"
passed=0
failed=0
for target in "$build"/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus=$(mktemp -d)
  seeds="$root/tests/fuzz/corpus/${name#fuzz_}"
  if [ -d "$seeds" ]; then cp -r "$seeds"/. "$corpus"/; fi
  workdir=$(mktemp -d)
  if (cd "$workdir" && "$target" -max_total_time="$seconds" -rss_limit_mb=2048 "$corpus" >"$corpus.log" 2>&1); then
    echo "fuzz: $name ok ($(grep -c . "$corpus.log") log lines)"
    passed=$((passed + 1))
  else
    echo "fuzz: $name FAILED"
    tail -40 "$corpus.log"
    failed=$((failed + 1))
  fi
  rm -rf "$corpus" "$corpus.log" "$workdir"
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
