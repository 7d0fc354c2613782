/* GStreamer plugin "qvtvz1sim": a device provider that lists the virtual camera as a video
 * source while a simulator runs, so that any GStreamer program (Qt Multimedia among them)
 * finds it as it finds a real camera. The device's element is an appsrc fed by a thread of
 * its own from the simulator's frame file (SimVideoFrame.h); the simulator never waits for
 * a reader, and a reader never waits for the simulator. */
#include "SimVideoFrame.h"

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

/* The frame file: as the simulator's runtime folder is found (camera/CameraAnnouncement.h). */
static gchar* frame_file_path(void)
{
    const char* runtime = g_getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return g_strdup_printf("%s/qvt-vz1/" QVT_SIM_VIDEO_FILE, runtime);
    return g_strdup_printf("/tmp/qvt-vz1-%u/" QVT_SIM_VIDEO_FILE, (unsigned)getuid());
}

/* A mapped frame file; NULL when there is none or it is not a frame file of this size. */
typedef struct
{
    void* base;
    size_t size;
    dev_t dev;
    ino_t ino;
} FrameMap;

static gboolean frame_map_open(FrameMap* map)
{
    gchar* path = frame_file_path();
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    g_free(path);
    if (fd < 0)
        return FALSE;
    struct stat st;
    const size_t want = QVT_SIM_VIDEO_FILE_SIZE(QVT_SIM_VIDEO_WIDTH, QVT_SIM_VIDEO_HEIGHT);
    gboolean ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == getuid() && (size_t)st.st_size == want;
    void* base = ok ? mmap(NULL, want, PROT_READ, MAP_SHARED, fd, 0) : MAP_FAILED;
    close(fd);
    if (base == MAP_FAILED)
        return FALSE;
    const QvtSimVideoHeader* h = base;
    if (h->magic != QVT_SIM_VIDEO_MAGIC || h->width != QVT_SIM_VIDEO_WIDTH || h->height != QVT_SIM_VIDEO_HEIGHT
        || h->stride != QVT_SIM_VIDEO_WIDTH * 4u) {
        munmap(base, want);
        return FALSE;
    }
    map->base = base;
    map->size = want;
    map->dev = st.st_dev;
    map->ino = st.st_ino;
    return TRUE;
}

static void frame_map_close(FrameMap* map)
{
    if (map->base)
        munmap(map->base, map->size);
    map->base = NULL;
}

/* Whether the file the map was made from is still the one in the folder (a simulator that
 * quit or unplugged the camera removed it). */
static gboolean frame_map_current(const FrameMap* map)
{
    gchar* path = frame_file_path();
    struct stat st;
    const gboolean same = stat(path, &st) == 0 && st.st_dev == map->dev && st.st_ino == map->ino;
    g_free(path);
    return same;
}

static gboolean frame_file_present(void)
{
    FrameMap map = {0};
    if (!frame_map_open(&map))
        return FALSE;
    frame_map_close(&map);
    return TRUE;
}

/* ---- the source's feeding thread ---- */

typedef struct
{
    GstElement* src; /* not owned: the thread ends before the element goes */
    GThread* thread;
    gint stop;
    gint running; /* the thread has not ended by itself */
} Feeder;

static gboolean copy_frame(const FrameMap* map, guint8* out)
{
    const QvtSimVideoHeader* h = map->base;
    const size_t bytes = (size_t)h->stride * h->height;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const guint32 before = __atomic_load_n(&h->sequence, __ATOMIC_ACQUIRE);
        if (before & 1u) {
            g_usleep(1000);
            continue;
        }
        memcpy(out, (const guint8*)map->base + sizeof(QvtSimVideoHeader), bytes);
        __atomic_thread_fence(__ATOMIC_ACQUIRE);
        if (__atomic_load_n(&h->sequence, __ATOMIC_RELAXED) == before)
            return TRUE;
    }
    return FALSE;
}

static gpointer feed(gpointer data)
{
    Feeder* feeder = data;
    FrameMap map = {0};
    if (!frame_map_open(&map)) {
        GST_ELEMENT_ERROR(feeder->src, RESOURCE, NOT_FOUND, ("The virtual camera is not running."), (NULL));
        g_atomic_int_set(&feeder->running, 0);
        return NULL;
    }
    const gint64 period = G_USEC_PER_SEC / QVT_SIM_VIDEO_FPS;
    gint64 next = g_get_monotonic_time();
    guint frames = 0;
    while (!g_atomic_int_get(&feeder->stop)) {
        /* Unplugged: an error, as a camera pulled out of its socket gives. */
        if (frames++ % 10 == 0 && !frame_map_current(&map)) {
            GST_ELEMENT_ERROR(feeder->src, RESOURCE, READ, ("The virtual camera was unplugged."), (NULL));
            break;
        }
        const QvtSimVideoHeader* h = map.base;
        if (!__atomic_load_n(&h->stalled, __ATOMIC_RELAXED)) {
            GstBuffer* buffer = gst_buffer_new_allocate(NULL, (gsize)h->stride * h->height, NULL);
            GstMapInfo info;
            gboolean filled = FALSE;
            if (gst_buffer_map(buffer, &info, GST_MAP_WRITE)) {
                filled = copy_frame(&map, info.data);
                gst_buffer_unmap(buffer, &info);
            }
            if (!filled) {
                gst_buffer_unref(buffer);
            } else if (gst_app_src_push_buffer(GST_APP_SRC(feeder->src), buffer) != GST_FLOW_OK) {
                break; /* stopped: need-data starts a new thread when it streams again */
            }
        }
        next += period;
        const gint64 now = g_get_monotonic_time();
        if (next < now - period)
            next = now; /* fell behind (a busy machine): do not send a burst */
        for (gint64 left = next - now; left > 0 && !g_atomic_int_get(&feeder->stop);
             left = next - g_get_monotonic_time())
            g_usleep(MIN(left, 20000));
    }
    frame_map_close(&map);
    g_atomic_int_set(&feeder->running, 0);
    return NULL;
}

static void feeder_stop(Feeder* feeder)
{
    if (feeder->thread) {
        g_atomic_int_set(&feeder->stop, 1);
        g_thread_join(feeder->thread);
        feeder->thread = NULL;
    }
}

static void feeder_free(gpointer data)
{
    Feeder* feeder = data;
    feeder_stop(feeder);
    g_free(feeder);
}

/* The thread starts when the source first asks for data, and again after it was stopped;
 * it ends by itself when the source stops taking buffers, so a stopped camera costs nothing. */
static void on_need_data(GstAppSrc* src, guint length, gpointer data)
{
    (void)src;
    (void)length;
    Feeder* feeder = data;
    if (feeder->thread && g_atomic_int_get(&feeder->running))
        return;
    feeder_stop(feeder);
    g_atomic_int_set(&feeder->stop, 0);
    g_atomic_int_set(&feeder->running, 1);
    feeder->thread = g_thread_new("qvt-sim-video", feed, feeder);
}

static GstCaps* frame_caps(void)
{
    return gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", "width", G_TYPE_INT,
                               QVT_SIM_VIDEO_WIDTH, "height", G_TYPE_INT, QVT_SIM_VIDEO_HEIGHT, "framerate",
                               GST_TYPE_FRACTION, QVT_SIM_VIDEO_FPS, 1, "pixel-aspect-ratio", GST_TYPE_FRACTION, 1,
                               1, NULL);
}

/* ---- the device ---- */

typedef struct
{
    GstDevice parent;
} QvtSimDevice;
typedef struct
{
    GstDeviceClass parent_class;
} QvtSimDeviceClass;

G_DEFINE_TYPE(QvtSimDevice, qvt_sim_device, GST_TYPE_DEVICE)

static GstElement* qvt_sim_device_create_element(GstDevice* device, const gchar* name)
{
    (void)device;
    GstElement* src = gst_element_factory_make("appsrc", name);
    if (!src)
        return NULL;
    GstCaps* caps = frame_caps();
    /* Live, stamped as it is pushed, and never more than two frames queued: a slow reader
     * drops old frames instead of lagging behind the camera. */
    g_object_set(src, "caps", caps, "is-live", TRUE, "format", GST_FORMAT_TIME, "do-timestamp", TRUE,
                 "max-buffers", (guint64)2, "leaky-type", 2 /* downstream: drop the oldest */, NULL);
    gst_caps_unref(caps);
    Feeder* feeder = g_new0(Feeder, 1);
    feeder->src = src;
    GstAppSrcCallbacks callbacks = {0};
    callbacks.need_data = on_need_data;
    /* The feeder goes with the element; its thread is joined first. */
    gst_app_src_set_callbacks(GST_APP_SRC(src), &callbacks, feeder, feeder_free);
    return src;
}

static void qvt_sim_device_class_init(QvtSimDeviceClass* klass)
{
    GST_DEVICE_CLASS(klass)->create_element = qvt_sim_device_create_element;
}

static void qvt_sim_device_init(QvtSimDevice* device)
{
    (void)device;
}

static GstDevice* new_device(void)
{
    GstCaps* caps = frame_caps();
    GstStructure* props = gst_structure_new("qvtvz1sim-proplist", "device.api", G_TYPE_STRING, "qvtvz1sim", NULL);
    GstDevice* device = g_object_new(qvt_sim_device_get_type(), "display-name", QVT_SIM_VIDEO_NAME, "device-class",
                                     "Video/Source", "caps", caps, "properties", props, NULL);
    gst_caps_unref(caps);
    gst_structure_free(props);
    return device;
}

/* ---- the provider: the device while a simulator runs ---- */

typedef struct
{
    GstDeviceProvider parent;
    GThread* thread;
    gint stop;
    GstDevice* device; /* ours, while announced */
} QvtSimProvider;
typedef struct
{
    GstDeviceProviderClass parent_class;
} QvtSimProviderClass;

G_DEFINE_TYPE(QvtSimProvider, qvt_sim_provider, GST_TYPE_DEVICE_PROVIDER)

static GList* qvt_sim_provider_probe(GstDeviceProvider* provider)
{
    (void)provider;
    return frame_file_present() ? g_list_append(NULL, gst_object_ref_sink(new_device())) : NULL;
}

static void update_device(QvtSimProvider* self)
{
    const gboolean present = frame_file_present();
    if (present && !self->device) {
        self->device = gst_object_ref_sink(new_device());
        gst_device_provider_device_add(GST_DEVICE_PROVIDER(self), self->device);
    } else if (!present && self->device) {
        gst_device_provider_device_remove(GST_DEVICE_PROVIDER(self), self->device);
        gst_object_unref(self->device);
        self->device = NULL;
    }
}

/* A simulator started or ended after the program began is seen within a quarter second. */
static gpointer watch(gpointer data)
{
    QvtSimProvider* self = data;
    while (!g_atomic_int_get(&self->stop)) {
        update_device(self);
        for (int i = 0; i < 5 && !g_atomic_int_get(&self->stop); ++i)
            g_usleep(50000);
    }
    return NULL;
}

static gboolean qvt_sim_provider_start(GstDeviceProvider* provider)
{
    QvtSimProvider* self = (QvtSimProvider*)provider;
    update_device(self);
    g_atomic_int_set(&self->stop, 0);
    self->thread = g_thread_new("qvt-sim-watch", watch, self);
    return TRUE;
}

static void qvt_sim_provider_stop(GstDeviceProvider* provider)
{
    QvtSimProvider* self = (QvtSimProvider*)provider;
    if (self->thread) {
        g_atomic_int_set(&self->stop, 1);
        g_thread_join(self->thread);
        self->thread = NULL;
    }
    if (self->device) {
        gst_device_provider_device_remove(provider, self->device);
        gst_object_unref(self->device);
        self->device = NULL;
    }
}

static void qvt_sim_provider_class_init(QvtSimProviderClass* klass)
{
    GstDeviceProviderClass* provider_class = GST_DEVICE_PROVIDER_CLASS(klass);
    provider_class->probe = qvt_sim_provider_probe;
    provider_class->start = qvt_sim_provider_start;
    provider_class->stop = qvt_sim_provider_stop;
    gst_device_provider_class_set_static_metadata(provider_class, "QVT-VZ1 virtual camera", "Video/Source",
                                                  "Lists the virtual camera while a simulator runs",
                                                  "QVT-VZ1 Controller");
}

static void qvt_sim_provider_init(QvtSimProvider* self)
{
    (void)self;
}

static gboolean plugin_init(GstPlugin* plugin)
{
    return gst_device_provider_register(plugin, "qvtvz1simprovider", GST_RANK_PRIMARY, qvt_sim_provider_get_type());
}

#define PACKAGE "qvt-vz1-controller"
GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, qvtvz1sim, "The QVT-VZ1 virtual camera's picture",
                  plugin_init, "1.0", "Proprietary", PACKAGE, "QVT-VZ1 Controller")
