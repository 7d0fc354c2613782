#!/usr/bin/env bash
# Start-up benchmark of the controller: prints the time from the process start to its first
# tray balloon, and its resident memory (VmRSS) after IDLE seconds (default 30) of idling.
# Goals: under 1 s and under 60 MB.
#   bench/shell/startup.sh [path/to/qvt-vz1-controller] [idle seconds]
# Runs in a private runtime folder (its own single-instance lock and camera announcements),
# on the offscreen platform unless DISPLAY is set.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=${1:-$here/../../build/release/app/qvt-vz1-controller}
idle=${2:-30}
[ -x "$program" ] || { echo "startup.sh: no program at $program (build it first)" >&2; exit 2; }

tmp=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; rm -rf "$tmp"' EXIT
mkdir -m 700 "$tmp/runtime" "$tmp/config"
export XDG_RUNTIME_DIR=$tmp/runtime XDG_CONFIG_HOME=$tmp/config
[ -n "${DISPLAY:-}" ] || export QT_QPA_PLATFORM=offscreen
export QT_LOGGING_RULES="qvt.shell.debug=true"

start=$(date +%s%N)
"$program" 2> "$tmp/err" &
pid=$!
first=""
for _ in $(seq 1000); do
  if grep -q "tray balloon:" "$tmp/err" 2>/dev/null; then first=$(date +%s%N); break; fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.005
done
if [ -z "$first" ]; then
  echo "startup.sh: no balloon within 5 s" >&2
  cat "$tmp/err" >&2
  exit 1
fi
ms=$(( (first - start) / 1000000 ))
balloon=$(grep -m1 "tray balloon:" "$tmp/err" | sed 's/.*tray balloon: //')
echo "start to first balloon: ${ms} ms (\"$balloon\"; goal < 1000 ms)"

sleep "$idle"
rss_kb=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")
echo "VmRSS after ${idle} s idle: $(( rss_kb / 1024 )) MB (${rss_kb} kB; goal < 60 MB)"
