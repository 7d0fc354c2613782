#pragma once
// The "Manual" tab: the camera worked by hand. An eight-way pad and a zoom pair that move
// the camera while held, and three framing options, the one in force drawn red. The pad
// and zoom work only in the explicit-position framing (user mode 2).
#include "ui/pages/ControlPage.h"

class CManualPage : public ControlPage
{
public:
    explicit CManualPage(QWidget* parent = nullptr);

    void UpdateControls() override;

private:
    void LayoutControls();
};
