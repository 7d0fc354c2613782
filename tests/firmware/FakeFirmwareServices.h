#pragma once
// Firmware update services for the tests: hand out a prepared file, answer the questions
// from a script, record the reads of the firmware channel. Hooks let a test act mid-step.
#include "firmware/FirmwareUpdateServices.h"
#include "platform/Prompt.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

class FakeFirmwareServices final : public FirmwareUpdateServices
{
public:
    DownloadResult Download(const std::string& url, CByteStream& stream, const std::atomic<int>&) override
    {
        urls.push_back(url);
        Hook(onObtain);
        if (downloadResult == DownloadResult::Ok)
            stream.Write(file.data(), static_cast<std::int32_t>(file.size()));
        return downloadResult;
    }
    BOOL LoadLocalFile(CByteStream& stream, const std::atomic<int>&) override
    {
        ++localFileCalls;
        Hook(onObtain);
        if (localFileResult)
            stream.Write(file.data(), static_cast<std::int32_t>(file.size()));
        return localFileResult;
    }
    int Ask(const QString& text, UINT type, const std::atomic<int>& cancel) override
    {
        questions.push_back(text);
        types.push_back(type);
        Hook(onAsk);
        if (cancel.load() || answers.empty())
            return cancel.load() ? IDCANCEL : IDOK;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    void DrainChannel(int handle) override
    {
        drained.push_back(handle);
        Hook(onDrain);
    }

    std::vector<std::uint8_t> file;
    DownloadResult downloadResult = DownloadResult::Ok;
    BOOL localFileResult = TRUE;
    std::deque<int> answers;
    std::function<void()> onObtain, onAsk, onDrain;

    std::vector<std::string> urls;
    int localFileCalls = 0;
    QStringList questions;
    std::vector<UINT> types;
    std::vector<int> drained;

private:
    static void Hook(const std::function<void()>& f)
    {
        if (f)
            f();
    }
};
