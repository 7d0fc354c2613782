#pragma once
// The string table: every text of the program under its id. A language catalogue chosen at
// start-up overrides the built-in (English) texts id by id.
#include "platform/Prompt.h"

#include <QString>

// The text of id from the catalogue in force, else the built-in table; empty when unknown.
QString LoadStringRes(UINT id);

// AfxMessageBox with a string of the table.
int AfxMessageBox(UINT stringId, UINT type = MB_OK);
