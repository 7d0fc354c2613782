#include "platform/WinMessage.h"

#include <QCoreApplication>
#include <QPointer>

#include <atomic>

WinMessageEvent::WinMessageEvent(UINT msg, WPARAM w, LPARAM l)
    : QEvent(eventType()), message(msg), wParam(w), lParam(l)
{
}

QEvent::Type WinMessageEvent::eventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

bool DispatchWinMessage(QEvent* e, CMessageTarget* target)
{
    if (e->type() != WinMessageEvent::eventType())
        return false;
    auto* m = static_cast<WinMessageEvent*>(e);
    m->result = target->WindowProc(m->message, m->wParam, m->lParam);
    return true;
}

BOOL PostMessage(HWND target, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!target)
        return FALSE;
    QCoreApplication::postEvent(target, new WinMessageEvent(message, wParam, lParam));
    return TRUE;
}

LRESULT SendMessage(HWND target, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!target)
        return 0;
    WinMessageEvent e(message, wParam, lParam);
    QCoreApplication::sendEvent(target, &e);
    return e.result;
}

namespace {
std::atomic<QObject*> g_mainWnd{nullptr};
}

HWND AfxGetMainWnd()
{
    return g_mainWnd.load();
}

void AfxSetMainWnd(HWND wnd)
{
    g_mainWnd.store(wnd);
}
