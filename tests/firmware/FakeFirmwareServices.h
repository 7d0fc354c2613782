#pragma once
// Firmware update services for the tests: hand out prepared bytes, answer the questions
// from a script, count the reads of the firmware channel.
#include "firmware/FirmwareUpdateServices.h"
#include "platform/Prompt.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <mutex>
#include <vector>

class FakeFirmwareServices final : public FirmwareUpdateServices
{
public:
    DownloadResult Download(const std::string& url, CByteStream& stream, const std::atomic<int>&) override
    {
        urls.push_back(url);
        if (onObtain)
            onObtain();
        if (downloadResult == DownloadResult::Ok)
            stream.Write(file.data(), static_cast<std::int32_t>(file.size()));
        return downloadResult;
    }

    BOOL LoadLocalFile(CByteStream& stream, const std::atomic<int>&) override
    {
        ++localFileCalls;
        if (onObtain)
            onObtain();
        if (localFileResult)
            stream.Write(file.data(), static_cast<std::int32_t>(file.size()));
        return localFileResult;
    }

    int Ask(const QString& text, UINT type, const std::atomic<int>& cancel) override
    {
        std::lock_guard lock(mutex);
        questions.push_back(text);
        types.push_back(type);
        if (onAsk)
            onAsk();
        if (cancel.load())
            return IDCANCEL;
        if (answers.empty())
            return IDOK;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }

    void DrainChannel(int handle) override
    {
        std::lock_guard lock(mutex);
        drainedHandles.push_back(handle);
        if (onDrain)
            onDrain();
    }

    std::vector<std::uint8_t> file;
    DownloadResult downloadResult = DownloadResult::Ok;
    BOOL localFileResult = TRUE;
    std::deque<int> answers;
    std::function<void()> onObtain, onAsk, onDrain;

    std::mutex mutex;
    std::vector<std::string> urls;
    int localFileCalls = 0;
    QStringList questions;
    std::vector<UINT> types;
    std::vector<int> drainedHandles;
};
