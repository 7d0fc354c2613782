#pragma once
// A tray that records every change of the icon and every balloon, for the frame's tests.
#include "app/TrayIcon.h"

#include <QMenu>

#include <functional>
#include <string>
#include <vector>

struct TrayEvent
{
    enum Kind { Add, Modify, Delete } kind;
    TrayIconData data;
};

class RecordingTray final : public ITrayIcon
{
public:
    bool IsAvailable() const override { return available; }
    bool Modify(const TrayIconData& data) override
    {
        if (!shown)
            return false;
        Record({TrayEvent::Modify, data});
        return true;
    }
    bool Add(const TrayIconData& data) override
    {
        if (!canAdd)
            return false;
        shown = true;
        Record({TrayEvent::Add, data});
        return true;
    }
    bool Delete() override
    {
        if (!shown)
            return false;
        shown = false;
        Record({TrayEvent::Delete, {}});
        return true;
    }
    bool IsShown() const override { return shown; }
    void SetContextMenu(QMenu* m) override { menu = m; }
    void SetNotifyTarget(HWND t) override { target = t; }

    // The balloon texts shown so far, in order.
    std::vector<QString> Balloons() const
    {
        std::vector<QString> out;
        for (const TrayEvent& e : events) {
            if (e.kind != TrayEvent::Delete)
                out.push_back(e.data.info);
        }
        return out;
    }

    bool available = true;
    bool canAdd = true;
    bool shown = false;
    QMenu* menu = nullptr;
    HWND target = nullptr;
    std::vector<TrayEvent> events;
    std::function<void(const TrayEvent&)> onEvent;  // for tests that order events across objects

private:
    void Record(TrayEvent e)
    {
        if (onEvent)
            onEvent(e);
        events.push_back(std::move(e));
    }
};
