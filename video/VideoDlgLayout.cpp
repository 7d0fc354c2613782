#include "video/VideoDlgLayout.h"

VideoDlgLayout ComputeVideoDlgLayout(const QRect& picture, const QSize& label, int sliderHeight, int boxWidth)
{
    const int pictureRight = picture.x() + picture.width();
    const int pictureBottom = picture.y() + picture.height();
    const int dy = (sliderHeight - label.height()) / 2;  // truncates toward zero
    const int sliderWidth = picture.width() - label.width() - boxWidth;
    const int row = pictureBottom + 4;

    VideoDlgLayout layout;
    layout.label = QPoint(picture.x(), row + dy);
    layout.slider = QRect(picture.x() + label.width() + 4, row, sliderWidth, sliderHeight);
    layout.box = QPoint(layout.slider.x() + sliderWidth, row + dy);
    layout.client = QSize(picture.x() + pictureRight, picture.y() + pictureBottom + 4 + sliderHeight);
    return layout;
}
