#pragma once
// The selector of the disc-shaped speakerphone: six directions around it and the centre.
#include "ui/controls/DirectionSelector.h"

class CDiscDirectionSelector final : public CDirectionSelector
{
public:
    explicit CDiscDirectionSelector(QWidget* parent = nullptr);
    static const SelectorShape kShape;
};
