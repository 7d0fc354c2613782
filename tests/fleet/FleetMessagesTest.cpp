// The fleet's payloads and settings as plain functions: what a command may be, which broker
// addresses and room names are taken, and which password files are refused.
#include "app/remote/RemoteNames.h"
#include "fleet/FleetConfig.h"
#include "fleet/FleetMessages.h"
#include "fleet/FleetPassword.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using namespace fleet;

constexpr qint64 kNow = 1'800'000'000'000;

TEST(FleetMessages, CommandsAreParsedOrRefusedByName)
{
    const struct
    {
        QByteArray payload;
        bool retained;
        const char* refusal;  // null: taken
    } cases[] = {
        {R"({"verb":"go","arg":"3"})", false, nullptr},
        {R"({"verb":"go","arg":3,"time":1799999995})", false, nullptr},
        {R"({"verb":"go","arg":3,"time":1799999989.5})", false, kStale},
        {R"({"verb":"go","time":"yesterday"})", false, kMalformed},
        {R"({"verb":"go","arg":"3"})", true, kStale},
        {R"({"arg":"3"})", false, kMalformed},
        {R"(["go",3])", false, kMalformed},
        {"go 3", false, kMalformed},
        {R"({"verb":"drive","arg":"up","ms":10001})", false, remote::kInvalidArgument},
        {R"({"verb":"drive","arg":"up","ms":-1})", false, remote::kInvalidArgument},
        {R"({"verb":"drive","arg":"up","ms":10000})", false, nullptr},
        {QByteArray(R"({"verb":"import","arg":")") + QByteArray(kMaxCommandBytes, 'x') + "\"}", false, kTooLarge},
    };
    for (const auto& c : cases) {
        remote::Outcome refusal;
        const auto command = ParseCommand(c.payload, c.retained, kNow, &refusal);
        SCOPED_TRACE(c.payload.left(80).toStdString());
        EXPECT_EQ(command.has_value(), c.refusal == nullptr);
        EXPECT_STREQ(refusal ? refusal->name : nullptr, c.refusal);
    }
    remote::Outcome refusal;
    const auto drive = ParseCommand(R"({"verb":"drive","arg":"up","ms":250,"id":"a1"})", false, kNow, &refusal);
    ASSERT_TRUE(drive);
    EXPECT_EQ(drive->ms, 250u);
    EXPECT_EQ(drive->id, QStringLiteral("a1"));
}

TEST(FleetMessages, RepliesAndStateCarryTheNamesScriptsRead)
{
    EXPECT_EQ(ReplyJson(std::nullopt), QByteArray(R"({"ok":true})"));
    const QJsonObject refused =
        QJsonDocument::fromJson(ReplyJson(remote::Refusal{remote::kNoCamera, QStringLiteral("No camera.")})).object();
    EXPECT_EQ(refused.value(QStringLiteral("error")).toString(), QStringLiteral("NoCamera"));
    EXPECT_EQ(refused.value(QStringLiteral("ok")).toBool(true), false);

    remote::RemoteState s;
    s.cameraPresent = true;
    s.page = 1;
    s.direction = 4;
    s.deviceKind = 2;
    s.firmwareVersion = QStringLiteral("2.03");
    const QJsonObject state = QJsonDocument::fromJson(StateJson(s, {QString(), QStringLiteral("v2"), QStringLiteral("InvalidFile")})).object();
    EXPECT_EQ(state.value(QStringLiteral("page")).toString(), QStringLiteral("manual"));
    EXPECT_EQ(state.value(QStringLiteral("direction")).toInt(), 4);
    EXPECT_TRUE(state.value(QStringLiteral("talker")).isNull());
    EXPECT_TRUE(state.value(QStringLiteral("error")).isNull());
    EXPECT_EQ(state.value(QStringLiteral("model")).toString(), QStringLiteral("QVT-VZ1"));
    EXPECT_EQ(state.value(QStringLiteral("settings")).toObject().value(QStringLiteral("ok")).toBool(true), false);
}

TEST(FleetConfig, BrokerAddressesAndRoomNames)
{
    const struct
    {
        const char* url;
        int port;  // 0: refused
        bool tls;
    } brokers[] = {
        {"mqtt://broker.lan", 1883, false}, {"mqtts://broker.lan", 8883, true}, {"mqtts://10.0.0.2:9000", 9000, true},
        {"mqtt://h:0", 0, false},           {"http://broker.lan", 0, false},    {"broker.lan:1883", 0, false},
        {"mqtt://", 0, false},              {"mqtt://h/x", 0, false},
    };
    for (const auto& b : brokers) {
        const auto address = ParseBroker(QString::fromLatin1(b.url));
        EXPECT_EQ(address ? address->port : 0, b.port) << b.url;
        EXPECT_EQ(address && address->tls, b.tls) << b.url;
    }
    for (const char* good : {"room-1", "Hörsaal 3"})
        EXPECT_TRUE(ValidRoom(QString::fromUtf8(good))) << good;
    for (const char* bad : {"", "all", "a/b", "a+", "#", "a\tb"})
        EXPECT_FALSE(ValidRoom(QString::fromUtf8(bad))) << bad;
    EXPECT_TRUE(ValidRoom(DefaultRoom()));
}

TEST(FleetConfig, SectionIsKeptAndPasswordFilesOthersCanReadAreRefused)
{
    QTemporaryDir dir;
    const std::string profile = (dir.path() + QStringLiteral("/p.ini")).toStdString();
    FleetConfig c;
    c.broker = QStringLiteral("mqtts://b:8883");
    c.room = QStringLiteral("r1");
    c.user = QStringLiteral("u");
    c.homeAssistant = true;
    ASSERT_TRUE(SaveFleetConfig(c, profile));
    ASSERT_TRUE(SaveSettingsApplied(QStringLiteral("v7"), profile));
    c.settingsApplied = QStringLiteral("v7");
    EXPECT_EQ(LoadFleetConfig(profile), c);

    const QString path = dir.path() + QStringLiteral("/pw");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("s3cret\nignored\n");
    file.close();
    for (const mode_t mode : {0600, 0400}) {
        ::chmod(QFile::encodeName(path).constData(), mode);
        QString error;
        EXPECT_EQ(ReadPasswordFile(path, &error).value_or(QString()), QStringLiteral("s3cret")) << mode;
    }
    for (const mode_t mode : {0640, 0604, 0620}) {
        ::chmod(QFile::encodeName(path).constData(), mode);
        QString error;
        EXPECT_FALSE(ReadPasswordFile(path, &error)) << mode;
        EXPECT_TRUE(error.contains(QLatin1String("others"))) << error.toStdString();
    }
    QString error;
    EXPECT_FALSE(ReadPasswordFile(dir.path(), &error));
}

TEST(FleetMessages, HomeAssistantEntitiesShareOneDevice)
{
    const auto messages = DiscoveryMessages(QStringLiteral("r 1"));
    ASSERT_EQ(messages.size(), 4);
    QStringList components;
    for (const auto& [topic, payload] : messages) {
        const QJsonObject config = QJsonDocument::fromJson(payload).object();
        EXPECT_TRUE(topic.startsWith(QLatin1String("homeassistant/")) && topic.endsWith(QLatin1String("/config")));
        EXPECT_FALSE(topic.contains(QLatin1Char(' '))) << topic.toStdString();
        EXPECT_EQ(config.value(QStringLiteral("availability_topic")).toString(), QStringLiteral("qvt-vz1/r 1/status"));
        EXPECT_EQ(config.value(QStringLiteral("device")).toObject().value(QStringLiteral("identifiers")).toArray().first().toString(),
                  QStringLiteral("qvt-vz1_r_1"));
        components << topic.section(QLatin1Char('/'), 1, 1);
    }
    EXPECT_EQ(components, (QStringList{"switch", "select", "binary_sensor", "sensor"}));
}

} // namespace
