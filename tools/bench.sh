#!/usr/bin/env bash
# Runs every benchmark program: natively, then the Windows build under Wine
# (where each also times the platform's own functions as its baseline).
# Figures are ratios against a baseline measured in the same run.
set -eu
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null && cmake --build --preset native -j "$(nproc)" >/dev/null
for b in build/native/bench/*_bench; do
  [ -x "$b" ] || continue
  echo "== native $(basename "$b")"; "$b"
done
cmake --preset windows >/dev/null && cmake --build --preset windows -j "$(nproc)" >/dev/null
state=build/windows/wine-bench
tools/wine-env.sh start "$state" build/windows/tests/wine_keepalive.exe >/dev/null
trap 'tools/wine-env.sh stop "$state" >/dev/null' EXIT
for b in build/windows/bench/*_bench.exe; do
  [ -f "$b" ] || continue
  echo "== wine $(basename "$b")"; tools/wine-run.sh "$state" "$b"
done
for s in tools/bench-*.sh; do
  [ -x "$s" ] || continue
  echo "== $(basename "$s")"; "$s"
done
