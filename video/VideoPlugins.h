#pragma once
// The GStreamer plugins that come with the controller (the virtual camera's device
// provider): GStreamer finds them through GST_PLUGIN_PATH, which must hold their folder
// before the first Qt Multimedia call.
#include <string>

// lib/qvt-vz1/gstreamer-1.0 beside the program's folder (in the build tree and installed).
std::string BundledVideoPluginDir(const std::string& programDir);

// Puts dir in front of GST_PLUGIN_PATH when it exists and is not there yet.
void UseVideoPlugins(const std::string& dir);
