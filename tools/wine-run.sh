#!/usr/bin/env bash
# Runs one Windows exe under Wine in the project's private prefix.
# Usage: wine-run.sh STATE_DIR program.exe [args...]
# STATE_DIR holds the prefix and, while the test fixture runs, the display.
set -u
state=$1; shift
source "$(dirname "${BASH_SOURCE[0]}")/wine-common.sh"
wine_prepare "$state"
exec wine "$@"
