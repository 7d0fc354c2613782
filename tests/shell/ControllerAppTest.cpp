// The application object: the locale table, the catalogue it loads, the single-instance
// guard inside one process, message boxes, and the watchers it starts.
#include "app/ControllerApp.h"
#include "app/DeviceChangeWatcher.h"
#include "app/MainFrame.h"
#include "app/PowerWatcher.h"
#include "app/ShutdownSignals.h"
#include "platform/WinMessages.h"
#include "res/Resource.h"
#include "res/Strings.h"
#include "tests/shell/RecordingTray.h"
#include "ui/controller/AboutDlg.h"
#include "ui/controller/AppIcon.h"
#include "tests/support/CameraApiDouble.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/ScriptedPrompter.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {

CControllerApp::Surroundings Isolated(LCID lcid, QStringList dirs = {})
{
    CControllerApp::Surroundings s;
    s.languageDirs = dirs.isEmpty()
        ? QStringList{QString::fromLocal8Bit(qgetenv("QVT_SOURCE_DIR")) + QStringLiteral("/res/lang")}
        : dirs;
    s.userLocale = [lcid] { return lcid; };
    s.makeTray = [] { return std::make_unique<RecordingTray>(); };
    s.watchSystem = false;
    return s;
}

QString ExitText(const CControllerApp& app)
{
    return app.MainFrame()->MenuAction(ID_APP_EXIT)->text();
}

TEST(LanguageTable, LocaleNamesMapToWindowsIdsAndOnlyListedOnesToCatalogues)
{
    for (auto [name, id] : {std::pair{"de_CH", 0x0807u}, {"de_LI.UTF-8", 0x1407u}, {"fr_CA.UTF-8@euro", 0x0C0Cu},
                            {"ja_JP.eucJP", 0x0411u}, {"zh-CN", 0x0804u}, {"fr", 0x040Cu}})
        EXPECT_EQ(LocaleIdFromName(name), id) << name;
    for (const char* plain : {"en_US.UTF-8", "C", "POSIX", "", "pt_BR", "_DE", "xx.@"})
        EXPECT_EQ(LocaleIdFromName(plain), kLocaleEnglishUS) << plain;
    for (LCID id : {0x0407u, 0x0807u, 0x0C07u, 0x1007u, 0x1407u})
        EXPECT_STREQ(LanguageLibraryName(id), "RESDE.ini");
    for (LCID id : {0x040Cu, 0x080Cu, 0x0C0Cu, 0x100Cu, 0x140Cu})
        EXPECT_STREQ(LanguageLibraryName(id), "RESFR.ini");
    EXPECT_STREQ(LanguageLibraryName(0x0411), "RESJP.ini");
    EXPECT_STREQ(LanguageLibraryName(0x0804), "RESCN.ini");
    for (LCID id : {0x0409u, 0x0404u, 0x0809u})
        EXPECT_EQ(LanguageLibraryName(id), nullptr) << id;
}

TEST(LanguageTable, UserLocaleComesFromTheFirstSetVariable)
{
    const QByteArray saved[] = {qgetenv("LC_ALL"), qgetenv("LC_MESSAGES"), qgetenv("LANG")};
    qputenv("LC_ALL", "");
    qputenv("LC_MESSAGES", "ja_JP.UTF-8");
    qputenv("LANG", "de_DE.UTF-8");
    EXPECT_EQ(GetUserDefaultLCID(), 0x0411u);
    qputenv("LC_ALL", "fr_CH.UTF-8");
    EXPECT_EQ(GetUserDefaultLCID(), 0x100Cu);
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    EXPECT_EQ(GetUserDefaultLCID(), 0x0407u);
    qunsetenv("LANG");
    EXPECT_EQ(GetUserDefaultLCID(), kLocaleEnglishUS);
    qputenv("LC_ALL", saved[0]);
    qputenv("LC_MESSAGES", saved[1]);
    qputenv("LANG", saved[2]);
}

TEST(ControllerApp, FrenchCanadaLoadsTheFrenchCatalogueUntilTheEnd)
{
    CamDouble().Reset();
    CControllerApp app(Isolated(0x0C0C));
    ASSERT_TRUE(app.InitInstance());
    ASSERT_NE(app.ResourceDll(), nullptr);
    EXPECT_EQ(LoadStringRes(35015), QStringLiteral("QVT-VZ1 est disponible."));
    EXPECT_EQ(ExitText(app), QStringLiteral("&Quitter"));
    const auto qtCancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    EXPECT_EQ(qtCancel(), QStringLiteral("Annuler")) << "Qt's own texts in the same language";
    EXPECT_EQ(AfxGetMainWnd(), app.MainFrame());
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    EXPECT_EQ(LoadStringRes(35015), QStringLiteral("QVT-VZ1 is available."));
    EXPECT_EQ(qtCancel(), QStringLiteral("Cancel"));
    QCoreApplication::sendPostedEvents();
}

TEST(ControllerApp, EnglishLoadsNothingAndAMissingOrDamagedCatalogueFallsBackSilently)
{
    CamDouble().Reset();
    ScriptedPrompter prompts;
    QTemporaryDir dir;
    {
        QFile garbage(dir.path() + QStringLiteral("/RESCN.ini"));
        ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray("\x00\x01\xFF[Strings\n=\n35015\n", 19));
    }
    for (LCID lcid : {0x0409u, 0x0411u, 0x0804u}) {
        CControllerApp app(Isolated(lcid, {dir.path()}));
        ASSERT_TRUE(app.InitInstance()) << lcid;
        EXPECT_EQ(app.ResourceDll() != nullptr, lcid == 0x0804u) << lcid;
        EXPECT_EQ(ExitText(app), QStringLiteral("&Exit")) << lcid;
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel")) << lcid;
    }
    EXPECT_TRUE(prompts.texts.isEmpty()) << "no message about the language";
    QCoreApplication::sendPostedEvents();
}

TEST(ControllerApp, EveryWindowAndTheAboutBoxShowIcon128)
{
    CamDouble().Reset();
    CControllerApp app(Isolated(0x0409));
    ASSERT_TRUE(app.InitInstance());
    const QImage icon128 = LoadAppIcon().pixmap(32, 32).toImage();
    ASSERT_FALSE(icon128.isNull());
    CAboutDlg about;
    for (QWidget* w : std::initializer_list<QWidget*>{&app.MainFrame()->ControllerDlg(), &about})
        EXPECT_EQ(w->windowIcon().pixmap(32, 32).toImage(), icon128) << w->metaObject()->className();
    const QPixmap shown = about.findChild<QLabel*>(QStringLiteral("icon"))->pixmap();
    EXPECT_EQ(shown.toImage(), icon128) << "not a generic computer";
    QCoreApplication::sendPostedEvents();
}

TEST(ControllerApp, SecondInstanceEndsAtOnceAndLeavesTheFirstsGuard)
{
    CamDouble().Reset();
    CControllerApp first(Isolated(0x0409));
    ASSERT_TRUE(first.InitInstance());
    {
        CControllerApp second(Isolated(0x0407));
        EXPECT_FALSE(second.InitInstance());
        EXPECT_EQ(second.MainFrame(), nullptr);
    }
    EXPECT_EQ(AfxGetMainWnd(), first.MainFrame());
    CControllerApp third(Isolated(0x0409));
    EXPECT_FALSE(third.InitInstance()) << "the second one's end did not free the first one's guard";
    QCoreApplication::sendPostedEvents();
}

TEST(ControllerApp, MessageBoxesCarryTheProgramsCaption)
{
    ScriptedPrompter prompts;
    CControllerApp app(Isolated(0x0409));
    EXPECT_EQ(app.DoMessageBox(QStringLiteral("text"), MB_OKCANCEL, 0), IDCANCEL);
    AfxMessageBox(103);
    EXPECT_EQ(prompts.captions, (QStringList{QStringLiteral("QVT-VZ1"), QStringLiteral("QVT-VZ1")}));
}

TEST(ShutdownSignals, EachSignalBecomesOneCallOnTheEventLoopAndTheOldHandlersReturn)
{
    struct sigaction before {}, after {};
    ::sigaction(SIGHUP, nullptr, &before);
    std::vector<int> received;
    {
        CShutdownSignals handlers([&](int s) { received.push_back(s); });
        ASSERT_TRUE(handlers.IsInstalled());
        EXPECT_FALSE(CShutdownSignals([](int) {}).IsInstalled()) << "one set of handlers per process";
        ::raise(SIGTERM);
        ::raise(SIGHUP);
        EXPECT_TRUE(received.empty()) << "nothing runs inside the signal handler";
        EXPECT_TRUE(WaitUntil([&] { return received.size() == 2; }));
        EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGHUP}));
    }
    ::sigaction(SIGHUP, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
}

TEST(DeviceChangeWatcher, TheVirtualCameraComingAndGoingIsADeviceChange)
{
    QTemporaryDir root;
    const QString dir = root.path() + QStringLiteral("/qvt-vz1");
    RecordingWindow window;
    CDeviceChangeWatcher watcher(&window, dir);
    ASSERT_TRUE(watcher.IsFolderWatched()) << "the folder is made so that it can be watched";
    auto changes = [&] { return window.Params(WM_DEVICECHANGE); };
    QFile announcement(dir + QStringLiteral("/camera"));
    ASSERT_TRUE(announcement.open(QIODevice::WriteOnly));
    announcement.close();
    ASSERT_TRUE(WaitUntil([&] { return !changes().empty(); }));
    const size_t attached = changes().size();
    announcement.remove();
    ASSERT_TRUE(WaitUntil([&] { return changes().size() > attached; }));
    EXPECT_EQ(changes().front(), DBT_DEVNODES_CHANGED);
}

TEST(PowerWatcher, SleepIsSentToEveryWindowAndWakingIsPosted)
{
    RecordingWindow frame, dialog;
    CPowerWatcher watcher({&frame, &dialog}, QDBusConnection(QStringLiteral("no bus")));
    EXPECT_FALSE(watcher.IsConnected());
    watcher.OnPrepareForSleep(true);
    const std::vector<WPARAM> asleep{PBT_APMQUERYSUSPEND, PBT_APMSUSPEND};
    EXPECT_EQ(frame.Params(WM_POWERBROADCAST), asleep) << "done before sleeping";
    EXPECT_EQ(dialog.Params(WM_POWERBROADCAST), asleep);
    watcher.OnPrepareForSleep(false);
    EXPECT_EQ(frame.Params(WM_POWERBROADCAST).size(), 2u);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(dialog.Params(WM_POWERBROADCAST), (std::vector<WPARAM>{PBT_APMQUERYSUSPEND, PBT_APMSUSPEND, PBT_APMRESUMESUSPEND}));
}

} // namespace
