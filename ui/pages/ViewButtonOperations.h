#pragma once
// What the option buttons 1014, 1015 and 1016 of either page run. The controller dialog
// implements it; each operation acts on the selected page and the camera position, then
// has the page update itself.
class ViewButtonOperations
{
public:
    virtual ~ViewButtonOperations() = default;
    virtual void OnViewButton1() = 0;
    virtual void OnViewButton2() = 0;
    virtual void OnViewButton3() = 0;
};
