#pragma once
// Watches the window messages that reach an object (posted or sent) without changing them,
// or answers them in the object's place when reply is set.
#include "platform/WinMessage.h"

#include <QEvent>
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
        if (!reply)
            return false;
        m->result = *reply;
        return true;
    }

    std::vector<WPARAM> Params(UINT message) const
    {
        std::vector<WPARAM> out;
        for (const SpiedMessage& m : messages) {
            if (m.message == message)
                out.push_back(m.wParam);
        }
        return out;
    }

    std::vector<SpiedMessage> messages;
    std::optional<LRESULT> reply;
    std::function<void(const SpiedMessage&)> onMessage;

private:
    QObject* m_watched;
};
