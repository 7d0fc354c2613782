#pragma once
// The command-line verbs of qvt-vz1-controller: which call on the running instance a
// command line asks for. Parsing only; RemoteClient makes the call.
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

namespace remote {

struct RemoteRequest
{
    enum class Kind
    {
        Start,       // no verb: start the controller as usual
        Help,
        Version,
        Call,        // a method of the interface
        Status,      // every property
        Watch,       // every change until interrupted
        UsageError,
    };
    Kind kind = Kind::Start;
    QString method;          // Call: the method's name
    QVariantList arguments;  // Call: its arguments, typed as the interface takes them
    QString error;           // UsageError: what is wrong
};

// A decimal number without sign, as the verbs take their numbers.
std::optional<uint> ParseUnsigned(const QString& text);

// How long --drive holds its press without --ms.
inline constexpr unsigned kDefaultDriveMs = 500;

// True when args (without the program name) hold a verb, so the process is a client.
bool HasVerb(const QStringList& args);
// args without the program name; file names are made absolute against currentDir.
RemoteRequest ParseVerb(const QStringList& args, const QString& currentDir);
// The usage text of --help.
QString VerbUsage();

} // namespace remote
