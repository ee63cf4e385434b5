#!/usr/bin/env bash
# Builds the release: everything in release mode, the setup program
# (build/release/Vantrel-Setup-<version>.exe) and a zip of the runnable
# folder (build/release/Vantrel-<version>.zip).
set -eu
cd "$(dirname "$0")/.."
[ "${1:-}" = "--no-setup" ] || tools/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
cmake --build --preset release --target release_zip
ls -l build/release/Vantrel-Setup-*.exe build/release/Vantrel-*.zip
