#!/usr/bin/env bash
# Runs every benchmark in this folder (each bench/*.sh but this one) in turn.
# Benchmarks generate their own input and print their own results; they are
# never part of the test suite.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
status=0
for bench in "$here"/*.sh; do
  [ "$(basename "$bench")" = run.sh ] && continue
  echo "== $(basename "$bench" .sh)"
  bash "$bench" || { echo "run.sh: $(basename "$bench") failed" >&2; status=1; }
done
exit $status
