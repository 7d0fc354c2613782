#include "platform/ProfileFile.h"
#include "settings/SettingFile.h"
#include "settings/SettingFileFlow.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>

#include <fstream>
#include <string>
#include <vector>

namespace {

// The controller's side, recording the steps in order.
class RecordingHost : public SettingFileHost
{
public:
    QWidget* DialogParent() override { return nullptr; }
    void SaveCameraPosition() override { steps.push_back("SaveCameraPosition"); }
    void ApplyCameraPosition() override
    {
        // The camera goes to the imported directions before kind 0 sets them to the centre.
        steps.push_back("ApplyCameraPosition up=" + std::to_string(settings.m_nUpDirection));
    }
    void UpdateControlsAfterImport() override { steps.push_back("UpdateControls"); }
    void EnablePositionAndReverse(bool bEnable) override
    {
        steps.push_back(bEnable ? "Enable" : "Disable");
    }
    void ShowImportedSetup() override { steps.push_back("Show kind=" + std::to_string(nDeviceKind)); }

    ControllerSetup Setup() { return {nDeviceKind, nPosition, bReverse, settings, bModified}; }

    int nDeviceKind = 2;
    int nPosition = 1;
    BOOL bReverse = 1;
    CCameraSettings settings;
    BOOL bModified = 1;
    std::vector<std::string> steps;
};

class SettingFileFlow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The documents folder the current directory returns to.
        documents = TestRootDir() + QStringLiteral("/Documents");
        QDir().mkpath(documents);
        QDir::setCurrent(QDir::tempPath());
        host.settings.m_nUpDirection = 3;
        host.settings.m_upPresets[3] = CCameraPosition(11, 12, 13, 14);
    }

    static QString PathFor(const char* name) { return TestRootDir() + QStringLiteral("/") + QString::fromUtf8(name); }

    QString documents;
    ScriptedPrompter prompter;
    RecordingHost host;
};

} // namespace

TEST_F(SettingFileFlow, ExportAsksForASetFileWritesItAndClearsModified)
{
    prompter.files.push_back(PathFor("export.set"));
    host.settings.m_bTracking = 1;
    EXPECT_TRUE(RunExport(host, host.Setup()));

    ASSERT_EQ(prompter.requests.size(), 1u);
    const auto& r = prompter.requests[0];
    EXPECT_FALSE(r.open);
    EXPECT_EQ(r.defaultExt, QStringLiteral("set"));
    EXPECT_EQ(r.fileName, QStringLiteral("noname.set"));
    EXPECT_EQ(r.filter, QStringLiteral("Setting Files (*.set);;All Files (*)"));
    EXPECT_TRUE(r.directory.isEmpty());
    EXPECT_TRUE(r.overwritePrompt);
    EXPECT_EQ(host.steps, (std::vector<std::string>{"SaveCameraPosition"}));
    EXPECT_EQ(host.bModified, 0);
    EXPECT_EQ(host.settings.m_bTracking, 0);
    EXPECT_TRUE(prompter.texts.isEmpty());

    const auto back = ImportSettingFile(PathFor("export.set").toStdString());
    ASSERT_EQ(back.status, SettingFileStatus::Ok);
    EXPECT_EQ(back.content.nDeviceKind, 2);
    EXPECT_EQ(back.content.nPosition, 1);
    EXPECT_EQ(back.content.bReverse, 1);
    EXPECT_EQ(back.content.settings, host.settings);
    EXPECT_EQ(QDir::currentPath(), documents);
}

TEST_F(SettingFileFlow, ExportCancelledWritesNothingButResetsTheFolder)
{
    prompter.files.push_back(std::nullopt);
    EXPECT_FALSE(RunExport(host, host.Setup()));
    EXPECT_TRUE(host.steps.empty());
    EXPECT_EQ(host.bModified, 1);
    EXPECT_EQ(QDir::currentPath(), documents);
}

TEST_F(SettingFileFlow, ExportThatCannotWriteSaysSoAndStaysModified)
{
    QDir().mkpath(PathFor("taken.set"));
    prompter.files.push_back(PathFor("taken.set"));
    EXPECT_FALSE(RunExport(host, host.Setup()));
    EXPECT_EQ(host.bModified, 1);
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_EQ(prompter.texts[0], SettingFileText(IDS_SETTING_FILE_NOT_WRITTEN));
    EXPECT_FALSE(prompter.texts[0].isEmpty());
    EXPECT_EQ(prompter.captions[0], QStringLiteral("QVT-VZ1"));
}

TEST_F(SettingFileFlow, ImportAfterModifyingAsksFirstAndCancelStopsEverything)
{
    prompter.answers.push_back(IDCANCEL);
    EXPECT_FALSE(RunImport(host, host.Setup()));
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_TRUE(prompter.texts[0].startsWith(QStringLiteral("Current camera settings will be replaced")));
    EXPECT_EQ(prompter.types[0], MB_OKCANCEL | MB_ICONINFORMATION);
    EXPECT_TRUE(prompter.requests.empty());
    EXPECT_TRUE(host.steps.empty());
    // Not even the folder is reset.
    EXPECT_EQ(QDir::currentPath(), QDir(QDir::tempPath()).canonicalPath());
}

TEST_F(SettingFileFlow, ImportReplacesTheSetUpAndBringsTheControllerInLine)
{
    CCameraSettings file;
    file.m_nUpDirection = 5;
    file.m_upPresets[5] = CCameraPosition(200, 10, 20, 30);
    file.m_bTracking = 1;
    ASSERT_TRUE(ExportSettingFile(PathFor("in.set").toStdString(), file, 3, 2, 0));

    host.bModified = 0;  // no question
    prompter.files.push_back(PathFor("in.set"));
    EXPECT_TRUE(RunImport(host, host.Setup()));
    EXPECT_TRUE(prompter.texts.isEmpty());
    ASSERT_EQ(prompter.requests.size(), 1u);
    EXPECT_TRUE(prompter.requests[0].open);
    EXPECT_TRUE(prompter.requests[0].fileName.isEmpty());
    EXPECT_EQ(host.nDeviceKind, 3);
    EXPECT_EQ(host.nPosition, 2);
    EXPECT_EQ(host.bReverse, 0);
    EXPECT_EQ(host.settings.m_upPresets[5], CCameraPosition(200, 10, 20, 30));
    EXPECT_EQ(host.settings.m_nUpDirection, 5);
    EXPECT_EQ(host.settings.m_bTracking, 0);
    EXPECT_EQ(host.bModified, 0);
    EXPECT_EQ(host.steps, (std::vector<std::string>{"ApplyCameraPosition up=5", "UpdateControls", "Enable", "Show kind=3"}));
    EXPECT_EQ(QDir::currentPath(), documents);
}

TEST_F(SettingFileFlow, ImportWithoutSpeakerphoneCentresBothDirections)
{
    std::ofstream(PathFor("plain.set").toStdString()) << "[Up]\nDirection=2\n[Front]\nDirection=4\n";
    prompter.answers.push_back(IDOK);
    prompter.files.push_back(PathFor("plain.set"));
    EXPECT_TRUE(RunImport(host, host.Setup()));
    EXPECT_EQ(prompter.texts.size(), 1);  // the question only
    EXPECT_EQ(host.nDeviceKind, 0);
    EXPECT_EQ(host.nPosition, 0);
    EXPECT_EQ(host.bReverse, 0);
    EXPECT_EQ(host.settings.m_nUpDirection, 6);
    EXPECT_EQ(host.settings.m_nFrontDirection, 6);
    EXPECT_EQ(host.steps, (std::vector<std::string>{"ApplyCameraPosition up=2", "UpdateControls", "Disable", "Show kind=0"}));
    EXPECT_EQ(host.bModified, 0);
}

TEST_F(SettingFileFlow, RefusedFilesChangeNothing)
{
    std::ofstream(PathFor("newer.set").toStdString()) << "[QVT-VZ1]\nDevice=7\nPosition=2\n[Up]\nDirection=1\n";
    QDir().mkpath(PathFor("dir.set"));
    const CCameraSettings before = host.settings;
    host.bModified = 0;
    prompter.files.push_back(PathFor("newer.set"));
    prompter.files.push_back(PathFor("dir.set"));

    EXPECT_FALSE(RunImport(host, host.Setup()));
    ASSERT_EQ(prompter.texts.size(), 1);
    EXPECT_TRUE(prompter.texts[0].startsWith(QStringLiteral("Invalid Device\n")));
    EXPECT_EQ(prompter.types[0], MB_OK | MB_ICONSTOP);
    EXPECT_EQ(QDir::currentPath(), documents);

    EXPECT_FALSE(RunImport(host, host.Setup()));
    ASSERT_EQ(prompter.texts.size(), 2);
    EXPECT_EQ(prompter.texts[1], SettingFileText(IDS_SETTING_FILE_NOT_READ));

    EXPECT_EQ(host.nDeviceKind, 2);
    EXPECT_EQ(host.nPosition, 1);
    EXPECT_EQ(host.bReverse, 1);
    EXPECT_EQ(host.settings, before);
    EXPECT_EQ(host.bModified, 0);
    EXPECT_TRUE(host.steps.empty());
}

TEST_F(SettingFileFlow, WithoutDocumentsFolderTheProgramFolderBecomesCurrent)
{
    QDir(documents).removeRecursively();
    EXPECT_EQ(ResetCurrentDirectory(), QCoreApplication::applicationDirPath());
    EXPECT_EQ(QDir::currentPath(), QDir(QCoreApplication::applicationDirPath()).canonicalPath());
}
