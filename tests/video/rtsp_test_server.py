#!/usr/bin/python3
# A local RTSP server for the video tests: a moving test picture as Motion JPEG at
# rtsp://127.0.0.1:<port>/camera. Prints the port on its first line, then serves until
# killed.
import gi

gi.require_version("Gst", "1.0")
gi.require_version("GstRtspServer", "1.0")
from gi.repository import GLib, Gst, GstRtspServer  # noqa: E402

Gst.init(None)
server = GstRtspServer.RTSPServer()
server.set_address("127.0.0.1")
server.set_service("0")
factory = GstRtspServer.RTSPMediaFactory()
factory.set_launch("( videotestsrc is-live=true pattern=ball ! video/x-raw,format=I420,width=320,height=240,framerate=15/1"
                   " ! jpegenc ! rtpjpegpay name=pay0 pt=26 )")
factory.set_shared(True)
server.get_mount_points().add_factory("/camera", factory)
server.attach(None)
print(server.get_bound_port(), flush=True)
GLib.MainLoop().run()
