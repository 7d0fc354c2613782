#pragma once
// Fills the %s places of a string-table text in order, as the system's formatted texts
// ("Current firmware version : %s") expect. Extra places stay empty.
#include <QString>

#include <initializer_list>

QString FormatMessageText(const QString& format, std::initializer_list<QString> args);
