#pragma once
// The broker password: from the file PasswordFile names (which only its owner may read), or
// from the desktop's secret store. Never from the profile.
#include "fleet/FleetConfig.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace fleet {

// The file's first line; nothing, with why in *error, when it cannot be read or when anyone
// but its owner may read or write it (a shared password file gives the room away).
std::optional<QString> ReadPasswordFile(const QString& path, QString* error);

// Looks the password up as the configuration says and calls done once on this thread:
// a password (possibly empty: none stored) or, when refused, nothing and why.
void FetchPassword(const FleetConfig& config, QObject* context,
                   std::function<void(std::optional<QString> password, QString error)> done);
// Keeps the password in the secret store for this broker and user (empty: removes it).
void StorePassword(const FleetConfig& config, const QString& password);

} // namespace fleet
