#include "fleet/FleetConfig.h"

#include "platform/ProfileFile.h"

#include <QSysInfo>
#include <QUrl>

namespace fleet {

namespace {

constexpr const char* kSection = "Fleet";

QString Get(const ProfileFile& file, const char* key)
{
    return QString::fromStdString(file.GetString(kSection, key, ""));
}

} // namespace

FleetConfig LoadFleetConfig(const std::string& profilePath)
{
    const ProfileFile file(profilePath);
    FleetConfig c;
    c.broker = Get(file, "Broker");
    c.room = Get(file, "Room");
    c.user = Get(file, "User");
    c.caFile = Get(file, "CaFile");
    c.passwordFile = Get(file, "PasswordFile");
    c.homeAssistant = file.GetInt(kSection, "HomeAssistant", 0) != 0;
    c.settingsApplied = Get(file, "SettingsApplied");
    return c;
}

bool SaveFleetConfig(const FleetConfig& c, const std::string& profilePath)
{
    ProfileFile file(profilePath);
    if (file.LoadFailed())
        return false;
    file.SetString(kSection, "Broker", c.broker.toStdString());
    file.SetString(kSection, "Room", c.room.toStdString());
    file.SetString(kSection, "User", c.user.toStdString());
    file.SetString(kSection, "CaFile", c.caFile.toStdString());
    file.SetString(kSection, "PasswordFile", c.passwordFile.toStdString());
    file.SetInt(kSection, "HomeAssistant", c.homeAssistant ? 1 : 0);
    return file.Save();
}

bool SaveSettingsApplied(const QString& version, const std::string& profilePath)
{
    ProfileFile file(profilePath);
    if (file.LoadFailed())
        return false;
    file.SetString(kSection, "SettingsApplied", version.toStdString());
    return file.Save();
}

bool ValidRoom(const QString& room)
{
    if (room.isEmpty() || room == QLatin1String("all") || room.size() > 64)
        return false;
    for (const QChar c : room)
        if (c == QLatin1Char('/') || c == QLatin1Char('+') || c == QLatin1Char('#') || c.unicode() < 0x20)
            return false;
    return true;
}

QString DefaultRoom()
{
    QString name = QSysInfo::machineHostName().section(QLatin1Char('.'), 0, 0);
    for (QChar& c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('+') || c == QLatin1Char('#') || c.unicode() < 0x20)
            c = QLatin1Char('-');
    return ValidRoom(name) ? name : QStringLiteral("room");
}

std::optional<BrokerAddress> ParseBroker(const QString& text)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || !(url.path().isEmpty() || url.path() == QLatin1String("/")))
        return std::nullopt;
    BrokerAddress a;
    a.host = url.host();
    if (url.scheme() == QLatin1String("mqtt"))
        a.port = url.port(1883);
    else if (url.scheme() == QLatin1String("mqtts"))
        a.port = url.port(8883), a.tls = true;
    else
        return std::nullopt;
    if (a.port <= 0 || a.port > 65535)
        return std::nullopt;
    return a;
}

} // namespace fleet
