#include "platform/DebugLog.h"

Q_LOGGING_CATEGORY(lcQvtDebug, "qvt.debug", QtWarningMsg)

void OutputDebugStringA(const char* text)
{
    qCDebug(lcQvtDebug, "%s", text);
}
