#pragma once
// What the remote interface shows of the controller: one value per property, the names the
// scripts read, and which properties differ between two readings.
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

namespace remote {

struct RemoteState
{
    bool cameraPresent = false;
    int cameraMode = 255;        // 0..3, 255 none
    int page = 0;                // 0 Auto, 1 Manual
    unsigned deviceKind = 0;
    bool tracking = false;
    unsigned direction = 255;    // the chosen direction of the current stand position, 255 none
    unsigned talkerDirection = 255;
    QString firmwareVersion;

    bool operator==(const RemoteState&) const = default;
};

// "release", "upside", "ohp", "front"; "none" for anything else.
QString CameraModeName(int mode);
// "auto" for page 0, "manual" otherwise.
QString PageName(int page);
// -1 for a name that is not a page.
int PageFromName(const QString& name);

// The pad or zoom button a drive name stands for ("up", "down-left", "zoom-in", ...); 0 for
// a name that is none.
int DriveButtonId(const QString& name);

// The property names in the order of the interface.
const QStringList& PropertyNames();
// Every property by its interface name.
QVariantMap Properties(const RemoteState& state);
// The names of the properties that differ, in the order of the interface.
QStringList ChangedProperties(const RemoteState& before, const RemoteState& after);

// One "name=value" line: booleans as true/false, numbers in decimal, texts as they are.
QString PropertyLine(const QString& name, const QVariant& value);

} // namespace remote
