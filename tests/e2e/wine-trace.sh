#!/usr/bin/env bash
# Runs Windows tests with Wine's own trace of the programs they start (written
# to standard error, which a Windows program cannot redirect for another) in a
# file; the tests find its Windows path in BALDRIX_WINE_TRACE.
#   wine-trace.sh GTEST_FILTER TEST_EXE WINE_RUN...
set -euo pipefail
trace=$(mktemp /tmp/baldrix-wine-trace.XXXXXX)
trap 'rm -f "$trace"' EXIT
BALDRIX_WINE_TRACE="Z:$trace" "${@:3}" "$2" --gtest_filter="$1" 2>"$trace"
