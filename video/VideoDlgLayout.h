#pragma once
// Where the video window puts its controls below the picture, and how large its client
// area is. Rectangles are in client pixels; right and bottom edges are exclusive, as the
// system measures them (left + width, top + height).
#include <QPoint>
#include <QRect>
#include <QSize>

struct VideoDlgLayout
{
    QPoint label;   // size unchanged
    QRect slider;
    QPoint box;     // size unchanged
    QSize client;
};

// The label, the slider and the box share one row under the picture: the label at the
// picture's left edge, the slider 4 pixels after it, the box right after the slider; label
// and box centred on the slider's height. The window keeps the picture's left and top
// margins on the right and below.
VideoDlgLayout ComputeVideoDlgLayout(const QRect& picture, const QSize& label, int sliderHeight, int boxWidth);
