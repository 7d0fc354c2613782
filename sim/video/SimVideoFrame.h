/* The virtual camera's picture as the simulator hands it to the GStreamer plugin: one
 * memory-mapped file in the camera's runtime folder, a header and one BGRx frame. The
 * simulator overwrites the frame in place; the sequence is odd while it writes, so a reader
 * copies the frame and keeps the copy only when the sequence was even and unchanged.
 * Plain C: the plugin is C, the simulator C++. */
#ifndef QVT_SIM_VIDEO_FRAME_H
#define QVT_SIM_VIDEO_FRAME_H

#include <stdint.h>

#define QVT_SIM_VIDEO_MAGIC 0x46545651u /* "QVTF" */
#define QVT_SIM_VIDEO_WIDTH 1280
#define QVT_SIM_VIDEO_HEIGHT 720
#define QVT_SIM_VIDEO_FPS 30
#define QVT_SIM_VIDEO_FILE "video"
/* The name the device has for the system, as the QVT-VZ1 on USB would. */
#define QVT_SIM_VIDEO_NAME "NORVEL QVT-VZ1"

typedef struct QvtSimVideoHeader
{
    uint32_t magic;
    uint32_t width;
    uint32_t height;
    uint32_t stride;   /* bytes per row */
    uint32_t sequence; /* odd while a frame is written */
    uint32_t stalled;  /* non-zero: the source sends no frames (a stalled camera) */
    uint32_t reserved[2];
} QvtSimVideoHeader;

#define QVT_SIM_VIDEO_FILE_SIZE(w, h) (sizeof(QvtSimVideoHeader) + (size_t)(w) * (size_t)(h) * 4u)

#endif
