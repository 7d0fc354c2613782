#pragma once
// The ranges that values read from a hand-edited or foreign file are brought into before
// anything indexes with them.

// Direction index 0..5, 6 = centre (no talker). Anything else becomes the centre.
constexpr int ClampDirection(int nDirection)
{
    return nDirection >= 0 && nDirection <= 6 ? nDirection : 6;
}

// Distance index of the "VZ1 Position" box, 0..3. Anything else becomes 0 ("5cm").
constexpr int ClampDistanceIndex(int nPosition)
{
    return nPosition >= 0 && nPosition <= 3 ? nPosition : 0;
}

// Selected page, 0 Auto or 1 Manual. Anything else becomes the Auto page.
constexpr int ClampPageMode(int nMode)
{
    return nMode == 1 ? 1 : 0;
}

// Tracking source kind 0..6 (the "Device" value; 6 is a microphone array).
constexpr bool IsValidDeviceKind(int nKind)
{
    return nKind >= 0 && nKind <= 6;
}
