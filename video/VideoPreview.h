#pragma once
// A running live picture of one camera, drawn over the window's picture control. The
// preview runs while the object lives; Stop ends it earlier.
class VideoPreview
{
public:
    virtual ~VideoPreview() = default;
    virtual void Stop() = 0;
};
