#pragma once
// The picture control of the video window: 320 x 240 pixels showing NO VIDEO until a
// camera's live picture is laid over it. The artwork is drawn, so it stays sharp at any
// screen scale.
#include <QWidget>

class VideoPicture final : public QWidget
{
public:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 240;

    explicit VideoPicture(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
