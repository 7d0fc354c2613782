// The string table, the language catalogues that override it, and the catalogue files shipped.
#include "res/LanguageCatalogue.h"
#include "res/Resource.h"
#include "res/Strings.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

struct CatalogueInForce
{
    explicit CatalogueInForce(const CLanguageCatalogue* c) { AfxSetResourceCatalogue(c); }
    ~CatalogueInForce() { AfxSetResourceCatalogue(nullptr); }
};

QString SourceFile(const char* relative)
{
    return QString::fromLocal8Bit(qgetenv("QVT_SOURCE_DIR")) + QLatin1Char('/') + QLatin1String(relative);
}

} // namespace

TEST(StringTable, KeepsTheTextsExactlyAsShown)
{
    EXPECT_EQ(LoadStringRes(102), QStringLiteral("QVT-VZ1"));
    EXPECT_EQ(LoadStringRes(35016), QStringLiteral("QVT-VZ1 is not connected to this PC."));
    EXPECT_EQ(LoadStringRes(35017), QStringLiteral("Update QVT-VZ1 firmware. Be sure to exit all applications used "
                                                   "by QVT-VZ1.\r\nTo start the update process, press the Start button."));
    EXPECT_EQ(LoadStringRes(35037), QStringLiteral("Current firm ware version [%s]\n Firmware version to be downloaded "
                                                   "[%s]\nStart update?"));
    EXPECT_TRUE(LoadStringRes(35008).endsWith(QStringLiteral("participants. ")));
    EXPECT_TRUE(LoadStringRes(35005).isEmpty());
    EXPECT_EQ(LoadMenuString(IDR_TRAY_MENU, ID_SHOW_CONTROLLER), QStringLiteral("Show &Controller"));
    EXPECT_EQ(LoadMenuString(IDR_CONTROLLER_MENU, 0), QStringLiteral("&File"));
    EXPECT_TRUE(LoadMenuString(IDR_TRAY_MENU, 1).isEmpty());
}

TEST(StringTable, EveryIdOfTheSystemHasItsText)
{
    for (UINT id : {102u, 103u})
        EXPECT_FALSE(LoadStringRes(id).isEmpty()) << id;
    for (UINT id = 35000; id <= 35037; ++id) {
        if (id != 35005) {
            EXPECT_FALSE(LoadStringRes(id).isEmpty()) << id;
        }
    }
}

TEST(LanguageCatalogue, ParsesSectionsQuotesAndEscapes)
{
    const auto c = CLanguageCatalogue::Parse(
        "\xEF\xBB\xBF; comment\n"
        "[Strings]\n"
        "35015 = QVT-VZ1 est disponible.  \r\n"
        "35008=\"avec blanc \"\n"
        "35017=ligne 1\\r\\nligne 2 \\\\ \\q\n"
        "# another comment\n"
        "[menu 193]\n"
        "32776=Afficher le &contr\xC3\xB4leur\n"
        "[Dialog102]\n"
        "1023=Invers\xC3\xA9\n");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->String(35015), QStringLiteral("QVT-VZ1 est disponible."));
    EXPECT_EQ(c->String(35008), QStringLiteral("avec blanc "));
    EXPECT_EQ(c->String(35017), QStringLiteral("ligne 1\r\nligne 2 \\ \\q"));
    EXPECT_EQ(c->MenuItem(193, 32776), QString::fromUtf8("Afficher le &contr\xC3\xB4leur"));
    EXPECT_EQ(c->DialogItem(102, 1023), QString::fromUtf8("Invers\xC3\xA9"));
    EXPECT_TRUE(c->MenuItem(136, 32776).isEmpty());
    EXPECT_EQ(c->Count(), 5);
}

TEST(LanguageCatalogue, DamagedLinesAreSkippedAndTheRestKept)
{
    const auto c = CLanguageCatalogue::Parse("35000=before any section\n"
                                             "[Strings\n"
                                             "35001=section never closed\n"
                                             "[Strings]\n"
                                             "=no id\n"
                                             "abc=not a number\n"
                                             "35002\n"
                                             "35003=\n"
                                             "35004=\xFF\xFE broken bytes\n"
                                             "[Menu]\n"
                                             "32776=menu without number\n"
                                             "[Strings]\n"
                                             "35011=kept\n");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->String(35011), QStringLiteral("kept"));
    EXPECT_TRUE(c->String(35000).isEmpty());
    EXPECT_TRUE(c->String(35001).isEmpty());
    EXPECT_TRUE(c->String(35003).isEmpty());
    EXPECT_TRUE(c->String(35004).endsWith(QStringLiteral(" broken bytes")));
    EXPECT_EQ(c->Count(), 2);
}

TEST(LanguageCatalogue, MissingOrOversizedFileLoadsNothing)
{
    EXPECT_FALSE(CLanguageCatalogue::Load(QDir::tempPath() + QStringLiteral("/no-such-catalogue.ini")));
    const QString big = QDir::tempPath() + QStringLiteral("/qvt-big-catalogue.ini");
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.resize(CLanguageCatalogue::kMaxFileSize + 1);
    }
    EXPECT_FALSE(CLanguageCatalogue::Load(big));
    QFile::remove(big);
}

TEST(StringTable, CatalogueOverridesIdByIdAndFallsBackToEnglish)
{
    const auto c = CLanguageCatalogue::Parse("[Strings]\n"
                                             "35015=verf\xC3\xBC" "gbar\n"
                                             "35036=Version %s von %s\n"
                                             "35006=Ver.%d\n"
                                             "35037=[%s] [%s]\n"
                                             "[Menu193]\n"
                                             "57665=&Beenden\n"
                                             "[Dialog102]\n"
                                             "1023=Umgekehrt\n");
    CatalogueInForce inForce(c.get());
    EXPECT_EQ(LoadStringRes(35015), QString::fromUtf8("verf\xC3\xBCgbar"));
    EXPECT_EQ(LoadStringRes(35016), QStringLiteral("QVT-VZ1 is not connected to this PC."));
    EXPECT_EQ(LoadStringRes(35037), QStringLiteral("[%s] [%s]"));
    // Placeholders that differ from the English text would be formatted wrongly.
    EXPECT_EQ(LoadStringRes(35036), QStringLiteral("Current firmware version : %s"));
    EXPECT_EQ(LoadStringRes(35006), QStringLiteral("QVT-VZ1 Firmware Ver.%s"));
    EXPECT_EQ(LoadMenuString(IDR_TRAY_MENU, ID_APP_EXIT), QStringLiteral("&Beenden"));
    EXPECT_EQ(LoadMenuString(IDR_TRAY_MENU, ID_SHOW_CONTROLLER), QStringLiteral("Show &Controller"));
    EXPECT_EQ(LoadDialogString(102, 1023, "Reverse"), QStringLiteral("Umgekehrt"));
    EXPECT_EQ(LoadDialogString(102, 1021, "Device Name"), QStringLiteral("Device Name"));
}

// The shipped catalogues: every text belongs to a known id, keeps the placeholders and the
// line breaks of its English text, and the tray and menu texts are all translated.
TEST(LanguageCatalogue, ShippedCataloguesAreCompleteForTrayAndMenus)
{
    for (const char* name : {"res/lang/RESDE.ini", "res/lang/RESFR.ini", "res/lang/RESJP.ini", "res/lang/RESCN.ini"}) {
        SCOPED_TRACE(name);
        const auto c = CLanguageCatalogue::Load(SourceFile(name));
        ASSERT_TRUE(c);
        for (UINT id = 35000; id <= 35037; ++id) {
            const QString text = c->String(id);
            if (text.isEmpty())
                continue;
            const QString english = LoadStringRes(id);
            ASSERT_FALSE(english.isEmpty()) << id;
            EXPECT_EQ(text.count(QStringLiteral("%s")), english.count(QStringLiteral("%s"))) << id;
            EXPECT_EQ(text.count(u'\n'), english.count(u'\n')) << id;
            EXPECT_EQ(text.count(u'\r'), english.count(u'\r')) << id;
            EXPECT_EQ(text.endsWith(u' '), english.endsWith(u' ')) << id;
        }
        for (UINT id : {35015u, 35016u, 35013u, 35012u, 35029u})
            EXPECT_NE(c->String(id), LoadStringRes(id)) << id;
        for (UINT cmd : {ID_SHOW_CONTROLLER, ID_ALWAYS_ON_TOP, ID_APP_ABOUT, ID_APP_EXIT})
            EXPECT_FALSE(c->MenuItem(IDR_TRAY_MENU, cmd).isEmpty()) << cmd;
        for (UINT cmd : {0u, ID_FILE_EXPORT, ID_FILE_IMPORT, ID_VIDEO_WINDOW, ID_SETTINGS, ID_FIRMWARE_UPDATE,
                         ID_APP_ABOUT, ID_CLOSE_CONTROLLER})
            EXPECT_FALSE(c->MenuItem(IDR_CONTROLLER_MENU, cmd).isEmpty()) << cmd;
    }
}
