#!/usr/bin/env bash
# The video window's cost against the virtual camera (1280x720 at 30 fps):
#  - open to first frame (goal under 1 s), by qvt-bench-video-open;
#  - the controller's CPU while its video window shows the picture (opened with
#    --video on), beside a GStreamer pipeline showing the same source to a window in the
#    same run (the simulator's device, videoconvert, ximagesink: what gst-launch-1.0 would
#    run; gst-launch cannot name a device of a provider, so the same elements are built
#    with the GStreamer Python bindings). Goal: at most 1.3 times that.
#
#   bench/video/video.sh [build dir (build/release)] [seconds (20)]
#
# Runs on a virtual X display of its own (Xvfb), in private runtime and configuration
# folders. CPU is from /proc/PID/stat of each process.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build/release}" && pwd)
secs=${2:-20}
cmake --build "$build" -j"$(nproc)" --target qvt-vz1-controller qvt-vz1-sim gstqvtvz1sim qvt-bench-video-open > /dev/null

if [ -z "${QVT_BENCH_IN_XVFB:-}" ]; then
  exec env QVT_BENCH_IN_XVFB=1 xvfb-run -a -s "-screen 0 1600x1000x24" "$0" "$build" "$secs"
fi

work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT
export XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config HOME=$work
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
export GST_PLUGIN_PATH=$build/lib/qvt-vz1/gstreamer-1.0
hz=$(getconf CLK_TCK)

"$build/sim/qvt-vz1-sim" --stay < /dev/null > /dev/null &
pids+=($!)
for _ in $(seq 100); do [ -e "$XDG_RUNTIME_DIR/qvt-vz1/video" ] && break; sleep 0.1; done

"$build/bench/video/qvt-bench-video-open" 10

cpu_of() {  # seconds of CPU (user + system) of PID so far
  awk -v hz="$hz" '{ print ($14 + $15) / hz }' "/proc/$1/stat"
}
measure() {  # PID: per cent of one core over $secs, after 3 s to settle
  sleep 3
  local a b
  a=$(cpu_of "$1"); sleep "$secs"; b=$(cpu_of "$1")
  awk -v a="$a" -v b="$b" -v s="$secs" 'BEGIN { printf "%.1f", (b - a) * 100 / s }'
}

controller=$build/app/qvt-vz1-controller
"$controller" > /dev/null 2>&1 &
cpid=$!
pids+=($cpid)
for _ in $(seq 100); do "$controller" --status > /dev/null 2>&1 && break; sleep 0.2; done
"$controller" --video on
controller_cpu=$(measure "$cpid")
"$controller" --video off
kill "$cpid"; wait "$cpid" 2>/dev/null || true

/usr/bin/python3 - <<'PY' &
import gi
gi.require_version("Gst", "1.0")
from gi.repository import GLib, Gst
Gst.init(None)
monitor = Gst.DeviceMonitor.new()
monitor.add_filter("Video/Source", None)
monitor.start()
device = next(d for d in monitor.get_devices() if d.get_display_name() == "NORVEL QVT-VZ1")
pipeline = Gst.Pipeline.new()
source = device.create_element("camera")
convert = Gst.ElementFactory.make("videoconvert")
scale = Gst.ElementFactory.make("videoscale")
sink = Gst.ElementFactory.make("ximagesink")
for e in (source, convert, scale, sink):
    pipeline.add(e)
source.link(convert)
convert.link(scale)
scale.link_filtered(sink, Gst.Caps.from_string("video/x-raw,width=320,height=180"))
pipeline.set_state(Gst.State.PLAYING)
GLib.MainLoop().run()
PY
gpid=$!
pids+=($gpid)
gst_cpu=$(measure "$gpid")

echo "controller with the video window, 1280x720 at 30 fps: ${controller_cpu} % of a core"
echo "GStreamer alone, same source to a window:            ${gst_cpu} % of a core"
awk -v c="$controller_cpu" -v g="$gst_cpu" 'BEGIN { if (g > 0) printf "ratio %.2f (goal: at most 1.3)\n", c / g }'
