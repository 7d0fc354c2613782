#pragma once
// The system's only diagnostic output goes to a Qt logging category at debug level,
// off unless enabled (QT_LOGGING_RULES="qvt.debug.debug=true").
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcQvtDebug)

void OutputDebugStringA(const char* text);
