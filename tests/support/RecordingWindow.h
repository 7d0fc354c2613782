#pragma once
// A window that records every message it receives, for asserting what was posted or sent.
#include "platform/WinMessage.h"

#include <QObject>

#include <functional>
#include <mutex>
#include <vector>

struct RecordedMessage
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const RecordedMessage&) const = default;
};

class RecordingWindow final : public QObject, public CMessageTarget
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool event(QEvent* e) override;

    std::vector<RecordedMessage> Messages() const;
    // The wParams of every message numbered message, in order.
    std::vector<WPARAM> Params(UINT message) const;
    void Clear();

    LRESULT reply = 0;  // what WindowProc returns

private:
    mutable std::mutex m_mutex;
    std::vector<RecordedMessage> m_messages;
};

// Runs the event loop until cond holds or timeoutMs passes; returns cond().
// For tests with real threads or processes: wait for a condition, never a fixed time.
bool WaitUntil(const std::function<bool()>& cond, int timeoutMs = 10000);
