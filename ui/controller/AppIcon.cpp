#include "ui/controller/AppIcon.h"

QIcon LoadAppIcon()
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128})
        icon.addFile(QStringLiteral(":/qvt/icons/128/%1.png").arg(size), QSize(size, size));
    return icon;
}
