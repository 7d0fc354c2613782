#pragma once
// The fleet's topics and payloads: the room's state, talker and availability out, commands
// in and their replies, the fleet-wide setting file, and the Home Assistant announcements.
// Plain text and JSON, no connection: docs/fleet.md describes them.
#include "app/remote/RemoteActions.h"
#include "app/remote/RemoteState.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

namespace fleet {

inline constexpr const char* kTopicRoot = "qvt-vz1";
inline constexpr const char* kAllRooms = "all";
// Commands larger than this are refused unread.
inline constexpr qsizetype kMaxCommandBytes = 64 * 1024;
// A command that says it was sent longer ago than this is refused: it was meant for a moment
// that has passed (a room that was away, a message held by a broker).
inline constexpr qint64 kStaleAfterMs = 10000;

// Refusals that only the fleet's commands have (the others are RemoteNames.h's).
inline constexpr const char* kTooLarge = "TooLarge";
inline constexpr const char* kMalformed = "Malformed";
inline constexpr const char* kUnknownVerb = "UnknownVerb";
inline constexpr const char* kStale = "Stale";

// "qvt-vz1/<room>/<leaf>".
QString Topic(const QString& room, const char* leaf);

// What the state topic says beyond the remote state.
struct StateExtras
{
    QString error;             // the last refusal's text; empty: none
    QString settingsVersion;   // the fleet-wide setting file last dealt with; empty: none
    QString settingsError;     // its refusal's name; empty when it was applied
};
QByteArray StateJson(const remote::RemoteState& state, const StateExtras& extras);
QByteArray TalkerJson(unsigned direction);
QByteArray ReplyJson(const remote::Outcome& outcome);

struct Command
{
    QString verb;
    QString arg;
    unsigned ms = 0;   // drive: how long; 0: the default
    QString id;        // the sender's own name for it, for redeliveries without correlation data
    std::optional<qint64> sentMs;  // "time": when it was sent, seconds since 1970
};
// The command in a payload, or the refusal that answers it: too large, malformed JSON, no
// verb, or sent longer than kStaleAfterMs before nowMs (or retained: it would be done again
// by every room that comes along).
std::optional<Command> ParseCommand(const QByteArray& payload, bool retained, qint64 nowMs, remote::Outcome* refusal);
// Runs a command through the same actions as the session bus's methods.
remote::Outcome RunCommand(remote::RemoteActions& actions, const Command& command);

struct FleetSettings
{
    QString version;
    QByteArray file;
};
// The fleet-wide setting file: {"version": "...", "file": "<setting file text>"}.
std::optional<FleetSettings> ParseFleetSettings(const QByteArray& payload);

// Home Assistant discovery: (topic, retained config) for each entity of the room.
QList<QPair<QString, QByteArray>> DiscoveryMessages(const QString& room, const QString& prefix = QStringLiteral("homeassistant"));

} // namespace fleet
