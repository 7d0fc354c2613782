#pragma once
// What distinguishes one direction selector from another: its speakerphone picture and its
// radios (where they sit on the picture and which direction each reports). The factory
// presets of each speakerphone are the controller's (FactoryPresetsForKind).
#include "platform/WinTypes.h"

struct SelectorRadio
{
    int direction;  // reported by a click: 0..5 talker directions, 6 the centre
    int x;          // top-left corner relative to the 136 x 136 picture
    int y;
};

struct SelectorShape
{
    UINT picture;  // bitmap id of the speakerphone's top view
    int radioCount;
    SelectorRadio radios[7];
};
