#!/usr/bin/env bash
# The test command's cold figure: scripts/test in a fresh clone of this checkout's HEAD with
# an empty compiler cache, as a newcomer's first run. Prints the stage times of scripts/test
# and the whole. The packages must be installed already: they are not part of the figure.
# Run it on an otherwise idle machine; RUNS=3 repeats it.
set -euo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
runs=${RUNS:-1}
for run in $(seq "$runs"); do
  work=$(mktemp -d)
  git clone -q "$src" "$work/clone"
  export CCACHE_DIR="$work/ccache"
  echo "cold run $run of $runs ($(git -C "$src" rev-parse --short HEAD), $(nproc) cores):"
  start=$SECONDS
  if ! (cd "$work/clone" && scripts/test > "$work/test.log" 2>&1); then
    tail -n 40 "$work/test.log"
    echo "scripts/test failed; its output is in $work/test.log" >&2
    exit 1
  fi
  sed -n '/^Time per stage:/,$p' "$work/test.log"
  echo "  wall $(( (SECONDS - start) / 60 )):$(printf '%02d' $(( (SECONDS - start) % 60 )))"
  rm -rf "$work"
done
