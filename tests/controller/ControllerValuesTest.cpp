// The controller's persistent values in the profile file.
#include "ui/controller/ControllerValues.h"

#include "platform/ProfileFile.h"
#include "settings/FirmwareUrl.h"
#include "tests/support/TestEnvironment.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

std::string Path(const char* name)
{
    return (TestRootDir() + QLatin1Char('/') + QLatin1String(name)).toStdString();
}

TEST(ControllerValuesTest, MissingFileOrKeysGiveTheDefaults)
{
    ControllerValues v;
    v.nDeviceKind = 5;
    v.strFirmwareUrl = "x";
    v.Read(ProfileFile(Path("missing.ini")));
    EXPECT_EQ(v.nDeviceKind, 0);
    EXPECT_EQ(v.nPosition, 0);
    EXPECT_EQ(v.bReverse, 0);
    EXPECT_EQ(v.bAlwaysOnTop, 0);
    EXPECT_EQ(v.bModified, 0);
    EXPECT_EQ(v.strFirmwareUrl, kDefaultFirmwareUrl);
}

TEST(ControllerValuesTest, RoundTripKeepsTheOtherSectionsAndNegativeValues)
{
    const std::string path = Path("values.ini");
    {
        QFile f(QString::fromStdString(path));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("; kept\n[General]\nMode=1\n[qvt-vz1]\nDevice=2\n");
    }
    ControllerValues v;
    v.nDeviceKind = 4;
    v.nPosition = -2;
    v.bReverse = 1;
    v.bAlwaysOnTop = 1;
    v.bModified = 1;
    v.strFirmwareUrl = "http://host/QVTVZ1.BIN";
    ProfileFile f(path);
    v.Write(f);
    ASSERT_TRUE(f.Save());

    const ProfileFile back(path);
    ControllerValues r;
    r.Read(back);
    EXPECT_EQ(r.nDeviceKind, 4) << "section names compare without case: the old key is replaced";
    EXPECT_EQ(r.nPosition, -2);
    EXPECT_EQ(r.bReverse, 1);
    EXPECT_EQ(r.bAlwaysOnTop, 1);
    EXPECT_EQ(r.bModified, 1);
    EXPECT_EQ(r.strFirmwareUrl, "http://host/QVTVZ1.BIN");
    EXPECT_EQ(back.GetInt("General", "Mode", 0), 1);
    EXPECT_EQ(back.Keys("QVT-VZ1"),
              (std::vector<std::string>{"Device", "Position", "Reverse", "AlwaysOnTop", "Modified", "URL"}));
}

} // namespace
