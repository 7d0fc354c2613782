#pragma once
// Where the controller meets its fleet: profile section "Fleet". Without a Broker there is
// no link. The password is never in the profile: it is in the desktop's secret store, or in
// the file PasswordFile names.
#include <QString>

#include <optional>
#include <string>

namespace fleet {

struct FleetConfig
{
    QString broker;        // mqtt://host[:port] or mqtts://host[:port]; empty: off
    QString room;          // empty: the host name
    QString user;
    QString caFile;        // mqtts with a CA of its own; empty: the system's store
    QString passwordFile;  // a file only the user can read; empty: the secret store
    bool homeAssistant = false;
    // The fleet-wide setting file this room dealt with last.
    QString settingsApplied;

    bool operator==(const FleetConfig&) const = default;
};

FleetConfig LoadFleetConfig(const std::string& profilePath);
// Every key of the section in one write; false when the profile could not be written.
bool SaveFleetConfig(const FleetConfig& config, const std::string& profilePath);
bool SaveSettingsApplied(const QString& version, const std::string& profilePath);

// A room name that can be one topic level: no '/', '+', '#', no control characters, not
// "all", not empty, at most 64 characters.
bool ValidRoom(const QString& room);
// The host name made into a valid room name.
QString DefaultRoom();

struct BrokerAddress
{
    QString host;
    int port = 0;
    bool tls = false;
};
// mqtt:// (port 1883 unless given) or mqtts:// (8883); nothing for anything else.
std::optional<BrokerAddress> ParseBroker(const QString& url);

} // namespace fleet
