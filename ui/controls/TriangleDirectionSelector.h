#pragma once
// The selector of the triangular speakerphone: three directions and the centre, with a
// preset table of its own for the reversed mounting.
#include "ui/controls/DirectionSelector.h"

class CTriangleDirectionSelector final : public CDirectionSelector
{
public:
    explicit CTriangleDirectionSelector(QWidget* parent = nullptr);
    static const SelectorShape kShape;
};
