#include "video/VideoWindowToggle.h"

#include "video/VideoDlg.h"

void ToggleVideoWindow(CVideoDlg*& pVideoWnd, QWidget* parent, std::unique_ptr<VideoCapture> capture)
{
    if (pVideoWnd)
        CloseVideoWindow(pVideoWnd);
    else
        OpenVideoWindow(pVideoWnd, parent, std::move(capture));
}

void OpenVideoWindow(CVideoDlg*& pVideoWnd, QWidget* parent, std::unique_ptr<VideoCapture> capture)
{
    if (pVideoWnd)
        return;
    pVideoWnd = new CVideoDlg(parent, std::move(capture));
    pVideoWnd->Create();
}

void CloseVideoWindow(CVideoDlg*& pVideoWnd)
{
    if (!pVideoWnd)
        return;
    // Null first: whatever the window's closing sets off finds it gone already.
    CVideoDlg* window = pVideoWnd;
    pVideoWnd = nullptr;
    window->DestroyWindow();
    delete window;
}
