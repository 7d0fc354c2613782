#pragma once
// Icon 128: the program's icon in the tray, on every window and in the About box.
#include <QIcon>

QIcon LoadAppIcon();
