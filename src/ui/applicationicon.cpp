#include "applicationicon.h"

QIcon applicationIcon()
{
    // The resources live in a static library: without this the linker drops them.
    Q_INIT_RESOURCE(morvell);
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/morvell.png").arg(size), QSize(size, size));
    return icon;
}
