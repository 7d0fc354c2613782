#pragma once
// The string table: every text of the program under its id. A language catalogue chosen at
// start-up overrides the built-in (English) texts id by id; whatever it lacks stays English.
#include "platform/Prompt.h"

#include <QString>

class CLanguageCatalogue;

// The text of id from the catalogue in force, else the built-in table; empty when unknown.
QString LoadStringRes(UINT id);

// A file-dialog filter "Name (*.a *.b)" of the table. A translation whose patterns differ
// from the English ones would show other files, so the English filter is used then.
QString LoadFilterString(UINT id);

// AfxMessageBox with a string of the table.
int AfxMessageBox(UINT stringId, UINT type = MB_OK);

// The text of a menu item (with its & mnemonic) of menu menuId (193 the tray menu, 136 the
// controller's menu); commandId 0 is the menu's popup title. Empty when unknown.
QString LoadMenuString(UINT menuId, UINT commandId);

// The text of control controlId of dialog templateId: the catalogue's, else builtIn. Lets each
// window that builds its template in code offer its labels for translation.
QString LoadDialogString(UINT templateId, UINT controlId, const char* builtIn);

// The framework's resource handle: the catalogue that texts are looked up in first. Null (the
// default) uses the built-in texts only. Not owned; set once at start-up, before any worker runs.
void AfxSetResourceCatalogue(const CLanguageCatalogue* catalogue);
const CLanguageCatalogue* AfxGetResourceCatalogue();
