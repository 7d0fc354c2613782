#pragma once
// A link's news to its window, delivered only while the link that sent it is still the one
// open: each close counts generation up, and a message posted before is dropped on
// delivery, so a camera opened afterwards never sees the old link's news.
#include "platform/WinMessage.h"

#include <QMetaObject>

#include <atomic>
#include <memory>

inline void PostForLink(HWND wnd, UINT msg, WPARAM wParam, const std::shared_ptr<std::atomic<unsigned>>& generation)
{
    QMetaObject::invokeMethod(
        wnd,
        [wnd, msg, wParam, generation, sentFor = generation->load()] {
            if (generation->load() == sentFor)
                SendMessage(wnd, msg, wParam, 0);
        },
        Qt::QueuedConnection);
}
