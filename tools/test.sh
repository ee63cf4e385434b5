#!/usr/bin/env bash
# Runs every test: the native model tests, short fuzz runs, and the Windows
# build's tests under Wine (private prefix and virtual display, stopped at
# the end). Usage: tools/test.sh [--no-setup]
set -eu
cd "$(dirname "$0")/.."
[ "${1:-}" = "--no-setup" ] || tools/setup.sh
jobs=$(nproc)

echo "== checks: format and layers"
tools/check-code.sh

echo "== native: build and test the model"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native

echo "== fuzz: short bounded runs"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
tools/fuzz-smoke.sh build/fuzz 20

echo "== windows: build and test under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
ctest --preset windows
