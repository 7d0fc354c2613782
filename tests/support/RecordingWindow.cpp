#include "tests/support/RecordingWindow.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

LRESULT RecordingWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    std::lock_guard lock(m_mutex);
    m_messages.push_back({message, wParam, lParam});
    return reply;
}

bool RecordingWindow::event(QEvent* e)
{
    if (DispatchWinMessage(e, this))
        return true;
    return QObject::event(e);
}

std::vector<RecordedMessage> RecordingWindow::Messages() const
{
    std::lock_guard lock(m_mutex);
    return m_messages;
}

std::vector<WPARAM> RecordingWindow::Params(UINT message) const
{
    std::lock_guard lock(m_mutex);
    std::vector<WPARAM> out;
    for (const auto& m : m_messages)
        if (m.message == message)
            out.push_back(m.wParam);
    return out;
}

void RecordingWindow::Clear()
{
    std::lock_guard lock(m_mutex);
    m_messages.clear();
}

bool WaitUntil(const std::function<bool()>& cond, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!cond()) {
        if (deadline.hasExpired())
            return cond();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}
