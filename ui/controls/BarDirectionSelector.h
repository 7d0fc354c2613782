#pragma once
// The selector of the long bar-shaped speakerphone: three directions on each side and the
// centre.
#include "ui/controls/DirectionSelector.h"

class CBarDirectionSelector final : public CDirectionSelector
{
public:
    explicit CBarDirectionSelector(QWidget* parent = nullptr);
    static const SelectorShape kShape;
};
