#pragma once
// Runs a function on the user-interface thread for a worker and waits for its answer.
// Windows (questions, file dialogs) can only live on that thread in Qt, while the update
// worker is the one that asks. The wait gives up when cancel is set, so a dialog that is
// going away can always join its worker; the abandoned call still runs later and its
// answer is dropped.
#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

template <class T>
std::optional<T> CallOnUiThread(std::function<T()> fn, const std::atomic<int>& cancel)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread())
        return fn();

    struct Shared
    {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<T> value;
    };
    auto shared = std::make_shared<Shared>();
    QMetaObject::invokeMethod(
        app,
        [shared, fn = std::move(fn)] {
            T v = fn();
            std::lock_guard lock(shared->mutex);
            shared->value = std::move(v);
            shared->done.notify_all();
        },
        Qt::QueuedConnection);

    std::unique_lock lock(shared->mutex);
    while (!shared->value) {
        if (cancel.load())
            return std::nullopt;
        shared->done.wait_for(lock, std::chrono::milliseconds(20));
    }
    return shared->value;
}
