// The string table, the language catalogues that override it, and the catalogue files shipped.
#include "res/CameraText.h"
#include "res/LanguageCatalogue.h"
#include "res/Resource.h"
#include "res/Strings.h"

#include <gtest/gtest.h>

namespace {

struct CatalogueInForce
{
    explicit CatalogueInForce(const CLanguageCatalogue* c) { AfxSetResourceCatalogue(c); }
    ~CatalogueInForce() { AfxSetResourceCatalogue(nullptr); }
};

TEST(StringTable, HoldsEveryTextExactlyAsShown)
{
    for (UINT id = 35000; id <= 35037; ++id)
        EXPECT_EQ(LoadStringRes(id).isEmpty(), id == 35005) << id;
    EXPECT_EQ(LoadStringRes(103), QStringLiteral("Windows sockets initialization failed."));
    EXPECT_EQ(LoadStringRes(35017), QStringLiteral("Update QVT-VZ1 firmware. Be sure to exit all applications used "
                                                   "by QVT-VZ1.\r\nTo start the update process, press the Start button."));
    EXPECT_EQ(LoadStringRes(35037), QStringLiteral("Current firm ware version [%s]\n Firmware version to be downloaded "
                                                   "[%s]\nStart update?"));
    EXPECT_TRUE(LoadStringRes(35008).endsWith(QStringLiteral("participants. ")));
    EXPECT_EQ(LoadMenuString(IDR_TRAY_MENU, ID_SHOW_CONTROLLER), QStringLiteral("Show &Controller"));
    EXPECT_TRUE(LoadMenuString(IDR_TRAY_MENU, 1).isEmpty());
}

TEST(LanguageCatalogue, ParsesItsFormatAndSkipsDamagedLines)
{
    const auto c = CLanguageCatalogue::Parse("\xEF\xBB\xBF; comment\n35000=before any section\n[Strings]\n"
                                             " 35015 = disponible  \r\n35008=\"blanc \"\n35017=a\\r\\nb \\\\ \\q\n"
                                             "=x\nabc=y\n35002\n35003=\n35004=\xFF ok\n[Menu]\n32776=no number\n"
                                             "[menu 193]\n32776=&Contr\xC3\xB4leur\n[Dialog102]\n1023=Invers\n");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->String(35015), QStringLiteral("disponible"));
    EXPECT_EQ(c->String(35008), QStringLiteral("blanc "));
    EXPECT_EQ(c->String(35017), QStringLiteral("a\r\nb \\ \\q"));
    EXPECT_TRUE(c->String(35004).endsWith(QStringLiteral(" ok")));
    EXPECT_EQ(c->MenuItem(193, 32776), QString::fromUtf8("&Contr\xC3\xB4leur"));
    EXPECT_EQ(c->DialogItem(102, 1023), QStringLiteral("Invers"));
    EXPECT_EQ(c->Count(), 6) << "nothing from the damaged lines";
    EXPECT_FALSE(CLanguageCatalogue::Load(QStringLiteral("/nonexistent/RESFR.ini")));
}

TEST(StringTable, CatalogueOverridesIdByIdButNeverChangesPlaceholders)
{
    const auto c = CLanguageCatalogue::Parse("[Strings]\n35015=verf\xC3\xBCgbar\n35036=Version %s von %s\n"
                                             "35006=Ver.%d\n35037=[%s] [%s]\n36050=Einstellungen (*.set)\n"
                                             "36052=Firmware (*.BIN)\n[Menu193]\n57665=&Beenden\n"
                                             "[Dialog102]\n1023=Umgekehrt\n");
    CatalogueInForce inForce(c.get());
    EXPECT_EQ(LoadStringRes(35015), QString::fromUtf8("verf\xC3\xBCgbar"));
    EXPECT_EQ(LoadStringRes(35016), QStringLiteral("QVT-VZ1 is not connected to this PC."));
    EXPECT_EQ(LoadStringRes(35037), QStringLiteral("[%s] [%s]"));
    EXPECT_EQ(LoadStringRes(35036), QStringLiteral("Current firmware version : %s"));
    EXPECT_EQ(LoadStringRes(35006), QStringLiteral("QVT-VZ1 Firmware Ver.%s"));
    EXPECT_EQ(LoadMenuString(IDR_TRAY_MENU, ID_APP_EXIT), QStringLiteral("&Beenden"));
    EXPECT_EQ(LoadMenuString(IDR_TRAY_MENU, ID_SHOW_CONTROLLER), QStringLiteral("Show &Controller"));
    EXPECT_EQ(LoadDialogString(102, 1023, "Reverse"), QStringLiteral("Umgekehrt"));
    EXPECT_EQ(LoadDialogString(102, 1021, "Device Name"), QStringLiteral("Device Name"));
    // A filter keeps its patterns: one that lost a pattern would hide files.
    EXPECT_EQ(LoadFilterString(36050), QStringLiteral("Einstellungen (*.set)"));
    EXPECT_EQ(LoadFilterString(36052), QStringLiteral("Firmware Update Files (*.BIN *.bin)"));
}

// The QVT-VZ1's own texts stay; any other camera is named in the same sentence, in each language.
TEST(CameraText, TheQvtVz1KeepsItsTextsAndAnyOtherCameraIsNamed)
{
    struct Row { UINT id; const char* name; const char* english; const char* german; };
    const Row rows[] = {
        {35015, "", "QVT-VZ1 is available.", "QVT-VZ1 ist verfügbar."},
        {35015, "EVI-D70 (/dev/ttyUSB0)", "Camera EVI-D70 (/dev/ttyUSB0) is available.",
         "Die Kamera EVI-D70 (/dev/ttyUSB0) ist verfügbar."},
        {35016, "tcp cam:5678", "Camera tcp cam:5678 is not connected.", "Die Kamera tcp cam:5678 ist nicht verbunden."},
        {35011, "X", "The connection between camera X and PC is improper.",
         "Die Verbindung zwischen der Kamera X und dem PC ist fehlerhaft."},
        {36422, "X", "Camera X takes no firmware update; only the QVT-VZ1 does.",
         "Die Kamera X nimmt kein Firmware-Update an; das tut nur die QVT-VZ1."},
        {35013, "X", "Communication Error. Cannot establish.", nullptr},  // names no camera
    };
    const QString dir = QString::fromLocal8Bit(qgetenv("QVT_SOURCE_DIR")) + QStringLiteral("/res/lang/");
    const auto german = CLanguageCatalogue::Load(dir + QStringLiteral("RESDE.ini"));
    ASSERT_TRUE(german);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.english);
        EXPECT_EQ(LoadCameraText(r.id, QString::fromUtf8(r.name)), QString::fromUtf8(r.english));
        CatalogueInForce inForce(german.get());
        EXPECT_EQ(LoadCameraText(r.id, QString::fromUtf8(r.name)),
                  r.german ? QString::fromUtf8(r.german) : LoadStringRes(r.id));
    }
}

// Every shipped text keeps the placeholders, line breaks and final blank of its English
// text, and the tray and menu texts are all translated.
TEST(LanguageCatalogue, ShippedCataloguesFitTheEnglishTexts)
{
    const QString dir = QString::fromLocal8Bit(qgetenv("QVT_SOURCE_DIR")) + QStringLiteral("/res/lang/");
    for (const char* name : {"RESDE.ini", "RESFR.ini", "RESJP.ini", "RESCN.ini"}) {
        SCOPED_TRACE(name);
        const auto c = CLanguageCatalogue::Load(dir + QLatin1String(name));
        ASSERT_TRUE(c);
        for (UINT id = 35000; id <= 36199; ++id) {
            const QString text = c->String(id), english = LoadStringRes(id);
            // The tooltips, filters and words of the program's own block are all translated.
            EXPECT_TRUE(id < 36000 || english.isEmpty() || !text.isEmpty()) << id;
            if (text.isEmpty())
                continue;
            EXPECT_EQ(text.count(QStringLiteral("%s")), english.count(QStringLiteral("%s"))) << id;
            EXPECT_EQ(text.count(u'\n'), english.count(u'\n')) << id;
            EXPECT_EQ(text.count(u'\r'), english.count(u'\r')) << id;
            EXPECT_EQ(text.endsWith(u' '), english.endsWith(u' ')) << id;
        }
        for (UINT id : {35012u, 35013u, 35015u, 35016u, 35029u})
            EXPECT_NE(c->String(id), LoadStringRes(id)) << id;
        for (UINT id = 36400; id <= 36499; ++id) {  // the camera connection block: all translated
            if (LoadStringRes(id).isEmpty())
                continue;
            EXPECT_FALSE(c->String(id).isEmpty()) << id;
            EXPECT_EQ(c->String(id).count(u'%'), LoadStringRes(id).count(u'%')) << id;
        }
        for (UINT cmd : {ID_SHOW_CONTROLLER, ID_ALWAYS_ON_TOP, ID_APP_ABOUT, ID_APP_EXIT})
            EXPECT_FALSE(c->MenuItem(IDR_TRAY_MENU, cmd).isEmpty()) << cmd;
        for (UINT cmd : {0u, ID_FILE_EXPORT, ID_FILE_IMPORT, ID_VIDEO_WINDOW, ID_SETTINGS, ID_FIRMWARE_UPDATE,
                         ID_APP_ABOUT, ID_CLOSE_CONTROLLER})
            EXPECT_FALSE(c->MenuItem(IDR_CONTROLLER_MENU, cmd).isEmpty()) << cmd;
        CatalogueInForce inForce(c.get());
        for (UINT id : {36050u, 36051u, 36052u})
            EXPECT_EQ(LoadFilterString(id), c->String(id)) << "patterns kept: " << id;
    }
}

} // namespace
