// The application object: the locale table, the catalogue it loads, the single-instance
// guard inside one process, message boxes, and the watchers it starts.
#include "app/ControllerApp.h"
#include "app/DeviceChangeWatcher.h"
#include "app/LanguageTable.h"
#include "app/MainFrame.h"
#include "app/PowerWatcher.h"
#include "app/ShutdownSignals.h"
#include "platform/WinMessages.h"
#include "res/LanguageCatalogue.h"
#include "res/Resource.h"
#include "res/Strings.h"
#include "tests/shell/RecordingTray.h"
#include "tests/support/CameraApiDouble.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestEnvironment.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

namespace {

QString CatalogueDir()
{
    return QString::fromLocal8Bit(qgetenv("QVT_SOURCE_DIR")) + QStringLiteral("/res/lang");
}

CControllerApp::Surroundings TestSurroundings(LCID lcid, QStringList dirs = {CatalogueDir()})
{
    CControllerApp::Surroundings s;
    s.languageDirs = std::move(dirs);
    s.userLocale = [lcid] { return lcid; };
    s.makeTray = [] { return std::make_unique<RecordingTray>(); };
    s.watchSystem = false;
    return s;
}

class ControllerAppTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CamDouble().Reset();
        CamDouble().present = 0;
    }
    void TearDown() override { QCoreApplication::sendPostedEvents(); }
};

TEST(LanguageTable, LocaleNamesMapToTheirWindowsIds)
{
    EXPECT_EQ(LocaleIdFromName("de_DE.UTF-8"), 0x0407u);
    EXPECT_EQ(LocaleIdFromName("de_CH"), 0x0807u);
    EXPECT_EQ(LocaleIdFromName("de_AT.UTF-8"), 0x0C07u);
    EXPECT_EQ(LocaleIdFromName("de_LI"), 0x1407u);
    EXPECT_EQ(LocaleIdFromName("fr_CA.UTF-8@euro"), 0x0C0Cu);
    EXPECT_EQ(LocaleIdFromName("fr_BE@euro"), 0x080Cu);
    EXPECT_EQ(LocaleIdFromName("ja_JP.eucJP"), 0x0411u);
    EXPECT_EQ(LocaleIdFromName("zh_CN.GB18030"), 0x0804u);
    EXPECT_EQ(LocaleIdFromName("zh-CN"), 0x0804u);
    EXPECT_EQ(LocaleIdFromName("fr"), 0x040Cu);
    EXPECT_EQ(LocaleIdFromName("zh_TW.UTF-8"), 0x0404u);
    for (const char* plain : {"en_US.UTF-8", "C", "C.UTF-8", "POSIX", "", "pt_BR", "de_", "_DE", "xx_YY.@"})
        EXPECT_EQ(LocaleIdFromName(plain), kLocaleEnglishUS) << plain;
}

TEST(LanguageTable, OnlyTheListedLocalesAskForACatalogue)
{
    for (LCID id : {0x0407u, 0x0807u, 0x0C07u, 0x1007u, 0x1407u})
        EXPECT_STREQ(LanguageLibraryName(id), "RESDE.ini");
    for (LCID id : {0x040Cu, 0x080Cu, 0x0C0Cu, 0x100Cu, 0x140Cu})
        EXPECT_STREQ(LanguageLibraryName(id), "RESFR.ini");
    EXPECT_STREQ(LanguageLibraryName(0x0411), "RESJP.ini");
    EXPECT_STREQ(LanguageLibraryName(0x0804), "RESCN.ini");
    for (LCID id : {0x0409u, 0x0404u, 0x0C04u, 0x0809u, 0u})
        EXPECT_EQ(LanguageLibraryName(id), nullptr) << id;
}

TEST(LanguageTable, UserLocaleComesFromTheFirstSetVariable)
{
    struct Saved
    {
        const char* name;
        std::string value;
        bool set;
    };
    std::vector<Saved> saved;
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(var);
        saved.push_back({var, v ? v : "", v != nullptr});
    }
    ::setenv("LC_ALL", "", 1);
    ::setenv("LC_MESSAGES", "ja_JP.UTF-8", 1);
    ::setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(GetUserDefaultLCID(), 0x0411u);
    ::setenv("LC_ALL", "fr_CH.UTF-8", 1);
    EXPECT_EQ(GetUserDefaultLCID(), 0x100Cu);
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_MESSAGES");
    EXPECT_EQ(GetUserDefaultLCID(), 0x0407u);
    ::unsetenv("LANG");
    EXPECT_EQ(GetUserDefaultLCID(), kLocaleEnglishUS);
    for (const Saved& s : saved) {
        if (s.set)
            ::setenv(s.name, s.value.c_str(), 1);
        else
            ::unsetenv(s.name);
    }
}

TEST_F(ControllerAppTest, FrenchCanadaLoadsTheFrenchCatalogueForEveryText)
{
    CControllerApp app(TestSurroundings(0x0C0C));
    ASSERT_TRUE(app.InitInstance());
    ASSERT_NE(app.ResourceDll(), nullptr);
    EXPECT_EQ(AfxGetResourceCatalogue(), app.ResourceDll());
    EXPECT_EQ(LoadStringRes(35016), QString::fromUtf8("QVT-VZ1 n\xE2\x80\x99" "est pas connect\xC3\xA9" "e \xC3\xA0 ce PC."));
    EXPECT_EQ(app.MainFrame()->MenuAction(ID_APP_EXIT)->text(), QStringLiteral("&Quitter"));
    EXPECT_EQ(AfxGetMainWnd(), app.MainFrame());
    EXPECT_EQ(app.MainFrame()->objectName(), QStringLiteral("QVTVZCTRLWND"));
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_EQ(AfxGetResourceCatalogue(), nullptr);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    EXPECT_EQ(LoadStringRes(35016), QStringLiteral("QVT-VZ1 is not connected to this PC."));
}

TEST_F(ControllerAppTest, EnglishLoadsNothingAndAMissingOrDamagedCatalogueFallsBackSilently)
{
    ScriptedPrompter prompts;
    {
        CControllerApp app(TestSurroundings(0x0409));
        ASSERT_TRUE(app.InitInstance());
        EXPECT_EQ(app.ResourceDll(), nullptr);
    }
    QTemporaryDir empty;
    {
        CControllerApp app(TestSurroundings(0x0411, {empty.path()}));
        ASSERT_TRUE(app.InitInstance());
        EXPECT_EQ(app.ResourceDll(), nullptr);
        EXPECT_EQ(LoadStringRes(35015), QStringLiteral("QVT-VZ1 is available."));
    }
    {
        QFile garbage(empty.path() + QStringLiteral("/RESCN.ini"));
        ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray("\x00\x01\xFF[Strings\n=\n35015\n", 19));
    }
    {
        CControllerApp app(TestSurroundings(0x0804, {empty.path()}));
        ASSERT_TRUE(app.InitInstance());
        EXPECT_EQ(LoadStringRes(35015), QStringLiteral("QVT-VZ1 is available."));
        EXPECT_EQ(app.MainFrame()->MenuAction(ID_APP_EXIT)->text(), QStringLiteral("&Exit"));
    }
    EXPECT_TRUE(prompts.texts.isEmpty()) << "no message about the language";
}

TEST_F(ControllerAppTest, SecondInstanceInTheSameSessionEndsAndTheFirstIsUntouched)
{
    CControllerApp first(TestSurroundings(0x0409));
    ASSERT_TRUE(first.InitInstance());
    {
        CControllerApp second(TestSurroundings(0x0407));
        EXPECT_FALSE(second.InitInstance());
        EXPECT_EQ(second.MainFrame(), nullptr);
        EXPECT_EQ(second.ExitInstance(), 0);
    }
    EXPECT_EQ(AfxGetMainWnd(), first.MainFrame());
    EXPECT_EQ(AfxGetResourceCatalogue(), nullptr) << "the second one loaded no catalogue";
    first.ExitInstance();
    CControllerApp third(TestSurroundings(0x0409));
    EXPECT_TRUE(third.InitInstance()) << "the guard is free again after the first ended";
}

TEST_F(ControllerAppTest, MessageBoxesCarryTheProgramsCaption)
{
    ScriptedPrompter prompts;
    CControllerApp app(TestSurroundings(0x0409));
    EXPECT_EQ(app.DoMessageBox(QStringLiteral("text"), MB_OKCANCEL, 0), IDCANCEL);
    AfxMessageBox(103);
    EXPECT_EQ(prompts.captions, (QStringList{QStringLiteral("QVT-VZ1"), QStringLiteral("QVT-VZ1")}));
    EXPECT_EQ(prompts.texts.back(), QStringLiteral("Windows sockets initialization failed."));
}

TEST(ShutdownSignals, EachSignalBecomesOneCallOnTheEventLoopAndTheOldHandlersReturn)
{
    struct sigaction before {};
    ::sigaction(SIGHUP, nullptr, &before);
    std::vector<int> received;
    {
        CShutdownSignals handlers([&](int s) { received.push_back(s); });
        ASSERT_TRUE(handlers.IsInstalled());
        CShutdownSignals second([](int) {});
        EXPECT_FALSE(second.IsInstalled()) << "one set of handlers per process";
        ::raise(SIGTERM);
        ::raise(SIGHUP);
        EXPECT_TRUE(received.empty()) << "nothing runs inside the signal handler";
        EXPECT_TRUE(WaitUntil([&] { return received.size() == 2; }));
        EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGHUP}));
    }
    struct sigaction after {};
    ::sigaction(SIGHUP, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
}

TEST(DeviceChangeWatcher, TheVirtualCameraComingAndGoingIsADeviceChange)
{
    QTemporaryDir root;
    const QString dir = root.path() + QStringLiteral("/qvt-vz1");
    RecordingWindow window;
    CDeviceChangeWatcher watcher(&window, dir);
    EXPECT_TRUE(QDir(dir).exists()) << "made so that it can be watched";
    EXPECT_TRUE(watcher.IsFolderWatched());
    auto changes = [&] { return window.Params(WM_DEVICECHANGE).size(); };
    {
        QFile announcement(dir + QStringLiteral("/camera"));
        ASSERT_TRUE(announcement.open(QIODevice::WriteOnly));
        announcement.write("/dev/pts/9\n");
    }
    ASSERT_TRUE(WaitUntil([&] { return changes() >= 1; }));
    const size_t attached = changes();
    QFile::remove(dir + QStringLiteral("/camera"));
    ASSERT_TRUE(WaitUntil([&] { return changes() > attached; }));
    for (WPARAM w : window.Params(WM_DEVICECHANGE))
        EXPECT_EQ(w, DBT_DEVNODES_CHANGED);
}

TEST(PowerWatcher, SleepIsSentToEveryWindowAndWakingIsPosted)
{
    RecordingWindow frame, dialog;
    CPowerWatcher watcher({&frame, &dialog});
    watcher.OnPrepareForSleep(true);
    EXPECT_EQ(frame.Params(WM_POWERBROADCAST), std::vector<WPARAM>{PBT_APMSUSPEND}) << "done before sleeping";
    EXPECT_EQ(dialog.Params(WM_POWERBROADCAST), std::vector<WPARAM>{PBT_APMSUSPEND});
    watcher.OnPrepareForSleep(false);
    EXPECT_EQ(frame.Params(WM_POWERBROADCAST).size(), 1u);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(frame.Params(WM_POWERBROADCAST), (std::vector<WPARAM>{PBT_APMSUSPEND, PBT_APMRESUMESUSPEND}));
    EXPECT_EQ(dialog.Params(WM_POWERBROADCAST), (std::vector<WPARAM>{PBT_APMSUSPEND, PBT_APMRESUMESUSPEND}));
}

} // namespace
