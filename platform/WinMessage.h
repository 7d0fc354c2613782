#pragma once
// Window messages on Qt: a message is a QEvent carrying (message, wParam, lParam).
// Post queues it for the receiver's thread (safe from any thread); send delivers it at
// once on the caller's thread and returns the handler's result.
#include "platform/WinTypes.h"

#include <QEvent>

class WinMessageEvent final : public QEvent
{
public:
    WinMessageEvent(UINT msg, WPARAM w, LPARAM l);
    static QEvent::Type eventType();

    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
};

// A receiver of window messages. A QObject that is one routes its event() through
// DispatchWinMessage so that posted and sent messages reach WindowProc.
class CMessageTarget
{
public:
    virtual ~CMessageTarget() = default;
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// Returns true when e was a window message and has been handled by target.
bool DispatchWinMessage(QEvent* e, CMessageTarget* target);

// Queue a message for target; false when there is no target.
BOOL PostMessage(HWND target, UINT message, WPARAM wParam, LPARAM lParam);

// Deliver a message to target now, on the calling thread; 0 when there is no target.
LRESULT SendMessage(HWND target, UINT message, WPARAM wParam, LPARAM lParam);

// The application's main window (the hidden frame): where controls and the camera
// library send their messages. Null until the application sets it.
HWND AfxGetMainWnd();
void AfxSetMainWnd(HWND wnd);
