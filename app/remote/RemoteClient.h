#pragma once
// The client side of the command-line verbs: makes the call on the running instance, prints
// what came back and turns it into the exit status.
#include "app/remote/RemoteVerbs.h"

#include <QDBusConnection>
#include <QStringList>

class QTextStream;

namespace remote {

enum ExitStatus
{
    kExitDone = 0,
    kExitRefused = 1,
    kExitUsage = 2,
    kExitNoInstance = 3,
};

// Runs request (not Start) against the instance on bus; results on out, reasons on err.
// Watch returns only when the instance goes away.
int RunRequest(const RemoteRequest& request, const QDBusConnection& bus, QTextStream& out, QTextStream& err);

// The process's client mode: args with the program name; needs a QCoreApplication.
int RunVerb(const QStringList& args);

} // namespace remote
