#include "app/remote/RemoteVerbs.h"

#include <QDir>

#include <optional>

namespace remote {

namespace {

enum class Value
{
    None,
    Unsigned,
    OnOff,
    Text,
    File,
};

struct Verb
{
    const char* name;
    RemoteRequest::Kind kind;
    const char* method;
    Value value;
};

// Syntax only: ranges and names are the instance's to judge, so that one place decides.
const Verb kVerbs[] = {
    {"--show", RemoteRequest::Kind::Call, "ShowController", Value::None},
    {"--hide", RemoteRequest::Kind::Call, "HideController", Value::None},
    {"--tracking", RemoteRequest::Kind::Call, "SetTracking", Value::OnOff},
    {"--video", RemoteRequest::Kind::Call, "ShowVideo", Value::OnOff},
    {"--direction", RemoteRequest::Kind::Call, "SelectDirection", Value::Unsigned},
    {"--go", RemoteRequest::Kind::Call, "GoToDirection", Value::Unsigned},
    {"--view", RemoteRequest::Kind::Call, "ViewButton", Value::Unsigned},
    {"--page", RemoteRequest::Kind::Call, "SelectPage", Value::Text},
    {"--drive", RemoteRequest::Kind::Call, "Drive", Value::Text},
    {"--stop", RemoteRequest::Kind::Call, "Stop", Value::None},
    {"--export", RemoteRequest::Kind::Call, "ExportSettings", Value::File},
    {"--import", RemoteRequest::Kind::Call, "ImportSettings", Value::File},
    {"--firmware", RemoteRequest::Kind::Call, "UpdateFirmware", Value::File},
    {"--status", RemoteRequest::Kind::Status, "", Value::None},
    {"--watch", RemoteRequest::Kind::Watch, "", Value::None},
    {"--help", RemoteRequest::Kind::Help, "", Value::None},
    {"--version", RemoteRequest::Kind::Version, "", Value::None},
};

const QLatin1String kMs("--ms");

// "--name=value" and "--name" alike: the part before '='.
QString OptionName(const QString& arg)
{
    return arg.section(QLatin1Char('='), 0, 0);
}

const Verb* FindVerb(const QString& arg)
{
    const QString name = OptionName(arg);
    for (const Verb& verb : kVerbs)
        if (name == QLatin1String(verb.name))
            return &verb;
    return nullptr;
}

RemoteRequest Usage(const QString& error)
{
    RemoteRequest r;
    r.kind = RemoteRequest::Kind::UsageError;
    r.error = error;
    return r;
}

// Takes the value of the option at args[i], as "--name=value" or "--name value".
std::optional<QString> TakeValue(const QStringList& args, qsizetype& i)
{
    const QString& arg = args[i];
    const qsizetype eq = arg.indexOf(QLatin1Char('='));
    if (eq >= 0)
        return arg.mid(eq + 1);
    if (i + 1 >= args.size())
        return std::nullopt;
    return args[++i];
}

} // namespace

std::optional<uint> ParseUnsigned(const QString& text)
{
    bool ok = false;
    const uint value = text.toUInt(&ok, 10);
    if (!ok || text.startsWith(QLatin1Char('+')))
        return std::nullopt;
    return value;
}

bool HasVerb(const QStringList& args)
{
    for (const QString& arg : args)
        if (FindVerb(arg) || OptionName(arg) == kMs)
            return true;
    return false;
}

RemoteRequest ParseVerb(const QStringList& args, const QString& currentDir)
{
    if (!HasVerb(args))
        return {};
    const Verb* verb = nullptr;
    RemoteRequest request;
    std::optional<uint> ms;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString name = OptionName(args[i]);
        if (name == kMs) {
            const auto text = TakeValue(args, i);
            ms = text ? ParseUnsigned(*text) : std::nullopt;
            if (!ms)
                return Usage(QStringLiteral("--ms needs a number of milliseconds"));
            continue;
        }
        const Verb* found = FindVerb(args[i]);
        if (!found)
            return Usage(QStringLiteral("unknown argument \"%1\"").arg(args[i]));
        if (verb)
            return Usage(QStringLiteral("one verb at a time: %1 and %2").arg(QLatin1String(verb->name), name));
        verb = found;
        request.kind = verb->kind;
        request.method = QLatin1String(verb->method);
        if (verb->value == Value::None) {
            if (args[i].contains(QLatin1Char('=')))
                return Usage(QStringLiteral("%1 takes no value").arg(name));
            continue;
        }
        const auto text = TakeValue(args, i);
        if (!text || text->isEmpty())
            return Usage(QStringLiteral("%1 needs a value").arg(name));
        switch (verb->value) {
        case Value::Unsigned: {
            const auto number = ParseUnsigned(*text);
            if (!number)
                return Usage(QStringLiteral("%1 needs a number, not \"%2\"").arg(name, *text));
            request.arguments << QVariant::fromValue(*number);
            break;
        }
        case Value::OnOff:
            if (*text != QLatin1String("on") && *text != QLatin1String("off"))
                return Usage(QStringLiteral("%1 takes on or off").arg(name));
            request.arguments << (*text == QLatin1String("on"));
            break;
        case Value::File:
            request.arguments << QDir::cleanPath(QDir(currentDir).absoluteFilePath(*text));
            break;
        default:
            request.arguments << *text;
            break;
        }
    }
    if (!verb)
        return Usage(QStringLiteral("--ms goes with --drive"));
    if (ms && request.method != QLatin1String("Drive"))
        return Usage(QStringLiteral("--ms goes with --drive"));
    if (request.method == QLatin1String("Drive"))
        request.arguments << QVariant::fromValue(ms.value_or(kDefaultDriveMs));
    return request;
}

QString VerbUsage()
{
    return QStringLiteral(
        "usage: qvt-vz1-controller [VERB]\n"
        "Without a verb the controller starts in the tray. A verb talks to the running one:\n"
        "  --show | --hide              show or hide the controller window\n"
        "  --tracking on|off            switch talker tracking\n"
        "  --video on|off               open or close the video window\n"
        "  --direction 0..6             choose a direction, as a click on its radio\n"
        "  --go 0..6                    move to a direction's preset, as a talker would\n"
        "  --view 1..3                  the option buttons of the current page\n"
        "  --page auto|manual           select a page\n"
        "  --drive DIRECTION [--ms N]   hold a pad button for N ms (default 500, at most 10000):\n"
        "                               up, down, left, right, up-left, up-right, down-left,\n"
        "                               down-right, zoom-in, zoom-out\n"
        "  --stop                       end a held drive\n"
        "  --export FILE | --import FILE  write or read a setting file\n"
        "  --firmware FILE              update the camera's firmware from FILE (waits for the end)\n"
        "  --status                     every property, one name=value a line\n"
        "  --watch                      one line per change until interrupted\n"
        "  --help | --version\n"
        "Exit status: 0 done, 1 refused (the reason on standard error), 2 usage error,\n"
        "3 no controller running.\n");
}

} // namespace remote
