#!/usr/bin/env bash
# Runs every libFuzzer target in BUILD_DIR for SECONDS each, starting from
# its seed corpus in fuzz/corpus/<target> when there is one. The limits are
# tight on purpose: no target needs a single allocation of 1 MB or a second
# per input, and the INI layer that kept a record per line failed them
# (7.5 MB for its line vector on 64 KB of line breaks).
set -eu
build=$1; secs=${2:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
found=0
for t in "$build"/fuzz/fuzz_*; do
  [ -x "$t" ] || continue
  found=1
  name=$(basename "$t")
  work=$(mktemp -d)
  seeds=()
  [ -d "$root/fuzz/corpus/$name" ] && seeds+=("$root/fuzz/corpus/$name")
  echo "fuzz: $name for ${secs}s"
  "$t" -max_total_time="$secs" -max_len=65536 -timeout=2 -rss_limit_mb=2048 \
    -malloc_limit_mb=1 "$work" "${seeds[@]}" \
    >"$work/log" 2>&1 || { tail -n 40 "$work/log"; rm -rf "$work"; exit 1; }
  grep -E '^Done|#[0-9]+ *DONE' "$work/log" | tail -n 1 || true
  rm -rf "$work"
done
[ $found -eq 1 ] || echo "fuzz: no targets built"
