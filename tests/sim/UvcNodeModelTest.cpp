// The virtual USB camera's node: what it answers to the single-control ioctls, and how it
// moves, on handed-in time.
#include "sim/uvc/UvcNodeModel.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <linux/videodev2.h>

namespace {

struct Node
{
    std::vector<std::string> trace;
    UvcNodeModel model;
    explicit Node(const char* profile)
        : model(*FindUvcProfile(profile), [this](const std::string& line) { trace.push_back(line); })
    {
    }
    int Set(unsigned id, int value, long long ms)
    {
        v4l2_control c{id, value};
        return model.Ioctl(VIDIOC_S_CTRL, &c, ms) == 0 ? c.value : -1;
    }
    int Get(unsigned id, long long ms)
    {
        v4l2_control c{id, 0};
        return model.Ioctl(VIDIOC_G_CTRL, &c, ms) == 0 ? c.value : -1;
    }
};

TEST(UvcNode, AnswersAsAUvcCaptureNodeAndListsItsControlsInOrder)
{
    Node node("tiny");
    v4l2_capability cap{};
    ASSERT_EQ(node.model.Ioctl(VIDIOC_QUERYCAP, &cap, 0), 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(cap.driver), "uvcvideo");
    EXPECT_TRUE(cap.device_caps & V4L2_CAP_VIDEO_CAPTURE);

    std::vector<unsigned> ids;
    v4l2_queryctrl q{};
    q.id = V4L2_CTRL_FLAG_NEXT_CTRL;
    while (node.model.Ioctl(VIDIOC_QUERYCTRL, &q, 0) == 0) {
        ids.push_back(q.id);
        q.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
    }
    EXPECT_EQ(ids, (std::vector<unsigned>{V4L2_CID_PAN_ABSOLUTE, V4L2_CID_TILT_ABSOLUTE, V4L2_CID_ZOOM_ABSOLUTE,
                                          V4L2_CID_ZOOM_CONTINUOUS, V4L2_CID_PAN_SPEED, V4L2_CID_TILT_SPEED}));
    q = {};
    q.id = V4L2_CID_TILT_ABSOLUTE;
    ASSERT_EQ(node.model.Ioctl(VIDIOC_QUERYCTRL, &q, 0), 0);
    EXPECT_EQ(q.minimum, -324000);
    EXPECT_EQ(q.step, 7200);

    Node zoomOnly("zoom-only");
    q = {};
    q.id = V4L2_CID_PAN_ABSOLUTE;
    EXPECT_EQ(zoomOnly.model.Ioctl(VIDIOC_QUERYCTRL, &q, 0), -EINVAL);
    EXPECT_EQ(zoomOnly.Get(V4L2_CID_PAN_ABSOLUTE, 0), -1);
    EXPECT_EQ(zoomOnly.model.Ioctl(VIDIOC_G_EXT_CTRLS, &q, 0), -ENOTTY);
}

TEST(UvcNode, MovesAtAFiniteSpeedClampsOntoItsStepsAndTracesEverySet)
{
    Node node("tiny");
    EXPECT_EQ(node.Set(V4L2_CID_PAN_ABSOLUTE, 36000, 0), 36000);
    EXPECT_EQ(node.Get(V4L2_CID_PAN_ABSOLUTE, 100), 21600) << "60 degrees a second, on the 3600 step";
    EXPECT_EQ(node.Get(V4L2_CID_PAN_ABSOLUTE, 1000), 36000);
    EXPECT_EQ(node.Set(V4L2_CID_TILT_ABSOLUTE, 10000, 1000), 7200);
    EXPECT_EQ(node.Set(V4L2_CID_PAN_ABSOLUTE, 9999999, 1000), 468000);
    EXPECT_EQ(node.trace, (std::vector<std::string>{"pan-absolute value=36000", "tilt-absolute value=7200",
                                                    "pan-absolute value=468000"}));

    // Driven by its speed control until stopped; an absolute move ends a drive.
    EXPECT_EQ(node.Set(V4L2_CID_TILT_SPEED, 120, 2000), 120);
    EXPECT_EQ(node.Get(V4L2_CID_TILT_ABSOLUTE, 3000), 115200) << "30 degrees a second from 2 degrees";
    node.Set(V4L2_CID_TILT_SPEED, 0, 3000);
    EXPECT_EQ(node.Get(V4L2_CID_TILT_ABSOLUTE, 4000), 115200);
    node.Set(V4L2_CID_TILT_SPEED, 120, 4000);
    node.Set(V4L2_CID_TILT_ABSOLUTE, 0, 4000);
    EXPECT_EQ(node.Get(V4L2_CID_TILT_SPEED, 4000), 0);
    EXPECT_EQ(node.Get(V4L2_CID_TILT_ABSOLUTE, 9000), 0);

    // A camera that reports the target at once.
    Node target("zoom-only");
    target.Set(V4L2_CID_ZOOM_ABSOLUTE, 500, 0);
    EXPECT_EQ(target.Get(V4L2_CID_ZOOM_ABSOLUTE, 1), 500);
}

} // namespace
