#include "app/remote/RemoteState.h"

namespace remote {

namespace {
const char* const kModeNames[] = {"release", "upside", "ohp", "front"};
}

QString CameraModeName(int mode)
{
    return QLatin1String(mode >= 0 && mode <= 3 ? kModeNames[mode] : "none");
}

QString PageName(int page)
{
    return page == 0 ? QStringLiteral("auto") : QStringLiteral("manual");
}

int PageFromName(const QString& name)
{
    if (name == QLatin1String("auto"))
        return 0;
    if (name == QLatin1String("manual"))
        return 1;
    return -1;
}

int DriveButtonId(const QString& name)
{
    static const struct
    {
        const char* name;
        int id;
    } kButtons[] = {
        {"up-left", 1003},   {"up", 1004},         {"up-right", 1005}, {"left", 1006},     {"right", 1008},
        {"down-left", 1009}, {"down", 1010},       {"down-right", 1011}, {"zoom-in", 1012}, {"zoom-out", 1013},
    };
    for (const auto& button : kButtons)
        if (name == QLatin1String(button.name))
            return button.id;
    return 0;
}

const QStringList& PropertyNames()
{
    static const QStringList names = {
        QStringLiteral("CameraPresent"), QStringLiteral("CameraMode"), QStringLiteral("Page"),
        QStringLiteral("DeviceKind"),    QStringLiteral("Tracking"),   QStringLiteral("Direction"),
        QStringLiteral("TalkerDirection"), QStringLiteral("FirmwareVersion"),
    };
    return names;
}

QVariantMap Properties(const RemoteState& s)
{
    return {
        {QStringLiteral("CameraPresent"), s.cameraPresent},
        {QStringLiteral("CameraMode"), CameraModeName(s.cameraMode)},
        {QStringLiteral("Page"), PageName(s.page)},
        {QStringLiteral("DeviceKind"), s.deviceKind},
        {QStringLiteral("Tracking"), s.tracking},
        {QStringLiteral("Direction"), s.direction},
        {QStringLiteral("TalkerDirection"), s.talkerDirection},
        {QStringLiteral("FirmwareVersion"), s.firmwareVersion},
    };
}

QStringList ChangedProperties(const RemoteState& before, const RemoteState& after)
{
    QStringList names;
    const QVariantMap a = Properties(before);
    const QVariantMap b = Properties(after);
    for (const QString& name : PropertyNames())
        if (a.value(name) != b.value(name))
            names << name;
    return names;
}

QString PropertyLine(const QString& name, const QVariant& value)
{
    QString text;
    if (value.typeId() == QMetaType::Bool)
        text = value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    else
        text = value.toString();
    return name + QLatin1Char('=') + text;
}

} // namespace remote
