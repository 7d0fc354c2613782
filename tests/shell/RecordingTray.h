#pragma once
// A tray that records every change of the icon and every balloon, for the frame's tests.
#include "app/TrayIcon.h"

#include <functional>
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
    bool Modify(const TrayIconData& data) override { return shown && Record({TrayEvent::Modify, data}); }
    bool Add(const TrayIconData& data) override { return available && (shown = true) && Record({TrayEvent::Add, data}); }
    bool Delete() override { return shown && !(shown = false) && Record({TrayEvent::Delete, {}}); }
    bool IsShown() const override { return shown; }
    void SetContextMenu(QMenu* m) override { menu = m; }
    void SetNotifyTarget(HWND t) override { target = t; }

    std::vector<QString> Balloons() const
    {
        std::vector<QString> out;
        for (const TrayEvent& e : events)
            if (e.kind != TrayEvent::Delete)
                out.push_back(e.data.info);
        return out;
    }

    bool available = true;
    bool shown = false;
    QMenu* menu = nullptr;
    HWND target = nullptr;
    std::vector<TrayEvent> events;
    std::function<void(const TrayEvent&)> onEvent;

private:
    bool Record(TrayEvent e)
    {
        if (onEvent)
            onEvent(e);
        events.push_back(std::move(e));
        return true;
    }
};
