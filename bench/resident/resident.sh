#!/usr/bin/env bash
# Resident cost of the controller, every figure beside its goal:
#  - start to first balloon and resident memory after IDLE s, beside a bare Qt Widgets
#    program with a tray icon and the multimedia device list, built and measured in the
#    same run;
#  - CPU and wake-ups (voluntary context switches of all its threads) per second, idle and
#    tracking each speakerphone kind against the virtual camera and speakerphones;
#  - the event-loop stalls while it works the camera (qvt-bench-stalls).
#
#   bench/resident/resident.sh [build dir (build/release)] [seconds per state (30)]
#
# Every run has its own runtime and configuration folder and shared-memory names; offscreen
# unless DISPLAY is set. The machine should be otherwise quiet: CPU and wake-ups are the
# controller's own (/proc/PID/stat, /proc/PID/task/*/status), but a loaded machine delays
# its wake-ups and start-up.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build/release}" && pwd)
secs=${2:-30}

cmake --build "$build" -j"$(nproc)" --target qvt-vz1-controller qvt-vz1-sim QVTUXAPI \
  qvt-bench-stalls qvt-bench-bare-tray > /dev/null
controller=$build/app/qvt-vz1-controller
sim=$build/sim/qvt-vz1-sim
bare=$build/bench/resident/qvt-bench-bare-tray
stalls=$build/bench/resident/qvt-bench-stalls
hz=$(getconf CLK_TCK)
[ -n "${DISPLAY:-}" ] || export QT_QPA_PLATFORM=offscreen
export QT_LOGGING_RULES="qvt.shell.debug=true"

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# wakeups PID: "tid count" a line, every thread's voluntary context switches so far
wakeups() {
  local t
  for t in /proc/"$1"/task/*; do
    awk -v tid="${t##*/}" '/^voluntary_ctxt_switches/ {print tid, $2}' "$t/status" 2>/dev/null || true
  done
}
# wakeups_between BEFORE AFTER: the wake-ups in between, per thread: a thread that ended
# takes its count with it, so the sum of two totals could even go down. Threads that
# started meanwhile count whole; those that ended count nothing.
wakeups_between() {
  awk 'NR == FNR {before[$1] = $2; next} {n += $2 - ($1 in before ? before[$1] : 0)} END {print n + 0}' \
    <(echo "$1") <(echo "$2")
}
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
# wait_for FILE TEXT MS: true once FILE holds TEXT
wait_for() {
  local deadline=$(( $(now_ms) + $3 ))
  until grep -q -- "$2" "$1" 2>/dev/null; do
    [ "$(now_ms)" -lt "$deadline" ] || return 1
    sleep 0.01
  done
}
# private_env NAME: a fresh runtime and configuration folder, exported; its path in $dir.
# Never in a command substitution: the exports must reach the programs started after it.
private_env() {
  dir=$work/$1
  mkdir -p "$dir"; mkdir -m 700 "$dir/runtime" "$dir/config"
  export XDG_RUNTIME_DIR=$dir/runtime XDG_CONFIG_HOME=$dir/config QVT_VZ1_SHM_PREFIX=qvt-resident-$$-$1-
}

# ---- start-up and memory -----------------------------------------------------------------
# start_program NAME PROGRAM: starts it; sets $pid and $ms once it showed its first balloon
start_program() {
  private_env "$1"
  local t0; t0=$(date +%s%N)
  "$2" > /dev/null 2> "$dir/err" &
  pid=$!
  pids+=("$pid")
  wait_for "$dir/err" "tray balloon:" 10000 || { echo "$1: no balloon within 10 s" >&2; cat "$dir/err" >&2; exit 1; }
  ms=$(( ($(date +%s%N) - t0) / 1000000 ))
}
start_program bare "$bare"; bare_pid=$pid bare_ms=$ms
start_program startup "$controller"; ctl_pid=$pid ctl_ms=$ms
sleep "$secs"
bare_rss=$(rss_kb "$bare_pid"); ctl_rss=$(rss_kb "$ctl_pid")
kill "$bare_pid" "$ctl_pid"; wait "$bare_pid" "$ctl_pid" 2>/dev/null || true
pids=()

echo "Start-up and memory (the bare Qt program built and measured in this run):"
printf "  %-34s %8s %8s %8s   %s\n" "" controller bare ratio goal
printf "  %-34s %6d ms %5d ms %8s   %s\n" "start to first balloon" "$ctl_ms" "$bare_ms" \
  "$(awk -v a="$ctl_ms" -v b="$bare_ms" 'BEGIN {printf "%.2f", a / b}')" "< 1000 ms"
printf "  %-34s %6.1f MB %5.1f MB %8s   %s\n" "resident memory after ${secs} s idle" \
  "$(awk -v k="$ctl_rss" 'BEGIN {print k / 1024}')" "$(awk -v k="$bare_rss" 'BEGIN {print k / 1024}')" \
  "$(awk -v a="$ctl_rss" -v b="$bare_rss" 'BEGIN {printf "%.2f", a / b}')" "ratio <= 1.30"

# ---- CPU and wake-ups --------------------------------------------------------------------
# thread_wakeups PID: "name=count" for every thread, to see where wake-ups come from
thread_wakeups() {
  local t
  for t in /proc/"$1"/task/*; do
    awk '/^Name:/ {n = $2} /^voluntary_ctxt_switches/ {printf "%s=%d ", n, $2}' "$t/status" 2>/dev/null || true
  done
}
# measure_state NAME KIND SPEAKERPHONE MOVES: prints "cpu% wakeups/s"; run in a subshell.
# MOVES 0: one talker all the time (what tracking itself costs); 1: the talker changes
# every 5 s, each change a camera move.
measure_state() {
  local name=$1 kind=$2 phone=$3 moves=${4:-1}
  private_env "$name"
  local tracking=$(( kind != 0 ))
  printf '[QVT-VZ1]\nDevice=%d\n[General]\nMode=0\nTracking=%d\n[Up]\nMode=1\nDirection=6\n' \
    "$kind" "$tracking" > "$dir/config/qvt-vz1-controller.ini"
  mkfifo "$dir/sim-in"
  "$sim" --trace --stay < "$dir/sim-in" > "$dir/sim-out" 2>&1 &
  simpid=$!
  exec 3> "$dir/sim-in"
  trap 'kill $pid $simpid 2>/dev/null || true' EXIT
  echo "stand upside" >&3
  [ "$kind" = 0 ] || echo "speakerphone $phone" >&3
  wait_for "$dir/sim-out" "attached port=" 10000 || { echo "$name: the simulator did not start" >&2; exit 1; }
  "$controller" > /dev/null 2> "$dir/err" &
  pid=$!
  # Settled: the camera took its first preset (tracking posts the centre first).
  wait_for "$dir/sim-out" "set-position\|select-view" 15000 || { echo "$name: the camera was not moved" >&2; cat "$dir/err" >&2; exit 1; }
  # Steady: one talker from before the measured time on (its camera move settles first).
  [ "$kind" = 0 ] || [ "$moves" != 0 ] || echo "talk 1" >&3
  sleep 2
  local t0 w0 c0
  [ -z "${QVT_BENCH_THREADS:-}" ] || echo "$name before: $(thread_wakeups "$pid")" >&2
  t0=$(now_ms); w0=$(wakeups "$pid"); c0=$(cpu_ticks "$pid")
  if [ "$kind" = 0 ] || [ "$moves" = 0 ]; then
    sleep "$secs"
  else
    # Talkers change every 5 s: each change is a camera move.
    local i=0 end=$(( t0 + secs * 1000 ))
    while [ "$(now_ms)" -lt "$end" ]; do
      echo "talk $(( i % 5 + 1 ))" >&3; i=$(( i + 1 ))
      sleep "$(awk -v left=$(( end - $(now_ms) )) 'BEGIN {s = left / 1000; print (s < 5 ? (s > 0 ? s : 0) : 5)}')"
    done
  fi
  local t1 w1 c1
  c1=$(cpu_ticks "$pid"); w1=$(wakeups "$pid"); t1=$(now_ms)
  [ -z "${QVT_BENCH_THREADS:-}" ] || echo "$name after:  $(thread_wakeups "$pid")" >&2
  kill "$pid"; wait "$pid" 2>/dev/null || true
  echo quit >&3; exec 3>&-
  wait "$simpid" 2>/dev/null || true
  awk -v c=$(( c1 - c0 )) -v w="$(wakeups_between "$w0" "$w1")" -v ms=$(( t1 - t0 )) -v hz="$hz" \
    'BEGIN {printf "%.2f %.1f\n", 100 * c / hz / (ms / 1000), w / (ms / 1000)}'
}

echo
echo "CPU and wake-ups of the controller, ${secs} s per state (camera attached, Auto page):"
echo "  (steady: one talker all the time, what tracking itself costs; moving: the talker"
echo "  changes every 5 s, so the camera moves, which adds the camera link's replies)"
printf "  %-32s %7s %10s %7s %10s   %s\n" state "CPU %" "wake-ups/s" "CPU %" "wake-ups/s" "goal"
printf "  %-32s %18s %18s\n" "" "steady" "moving"
read -r idle_cpu idle_wake < <(measure_state idle 0 none)
printf "  %-32s %7s %10s %7s %10s   %s\n" "idle, tracking off" "$idle_cpu" "$idle_wake" "" "" "CPU about 0.10 % (keep)"
for row in "1 40s 100 QVT-40S" "2 90ux 250 QVT-90UX" "3 18tr 1000 QVT-18TR" "4 mzc-40s 100 QVT-40S (MZC)" "5 mzc-90x 100 QVT-90X (MZC)"; do
  read -r kind phone period label <<< "$row"
  read -r cpu wake < <(measure_state "kind$kind" "$kind" "$phone" 0)
  read -r mcpu mwake < <(measure_state "kind$kind-moving" "$kind" "$phone" 1)
  goal_wake=$(awk -v i="$idle_wake" -v p="$period" 'BEGIN {printf "%.1f", i + 2 * 1000 / p}')
  printf "  %-32s %7s %10s %7s %10s   %s\n" "tracking, kind $kind $label" "$cpu" "$wake" "$mcpu" "$mwake" \
    "CPU <= 0.20 %, steady wake-ups <= idle + 2 per ${period} ms = $goal_wake"
done

# ---- event-loop stalls -------------------------------------------------------------------
echo
"$stalls" "$sim" 2> "$work/stalls-err" || { echo "(stalls: exit $?)"; grep -v "^qt\.\|^qvt\.shell" "$work/stalls-err" | tail -5 >&2 || true; }
