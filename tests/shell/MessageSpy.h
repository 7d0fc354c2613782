#pragma once
// Sees the window messages that reach an object, and answers them in its place when reply
// is set (the object's own handler then does not run).
#include "platform/WinMessage.h"

#include <QObject>

#include <functional>
#include <optional>
#include <vector>

struct SpiedMessage
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class MessageSpy final : public QObject
{
public:
    explicit MessageSpy(QObject* watched) : m_watched(watched) { watched->installEventFilter(this); }
    ~MessageSpy() override { m_watched->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched != m_watched || e->type() != WinMessageEvent::eventType())
            return false;
        auto* m = static_cast<WinMessageEvent*>(e);
        messages.push_back({m->message, m->wParam, m->lParam});
        if (onMessage)
            onMessage(messages.back());
        if (reply)
            m->result = *reply;
        return reply.has_value();
    }

    std::vector<WPARAM> Params(UINT message) const
    {
        std::vector<WPARAM> out;
        for (const SpiedMessage& m : messages)
            if (m.message == message)
                out.push_back(m.wParam);
        return out;
    }

    std::vector<SpiedMessage> messages;
    std::optional<LRESULT> reply;
    std::function<void(const SpiedMessage&)> onMessage;

private:
    QObject* m_watched;
};
