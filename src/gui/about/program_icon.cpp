#include "gui/about/program_icon.h"

// The pictures are compiled into a static library; nothing there would keep them in the program
// unless they are registered by name.
static void registerIconPictures()
{
    Q_INIT_RESOURCE(vadazaz);
}

namespace vadazaz {

QIcon programIcon()
{
    static const bool registered = (registerIconPictures(), true);
    Q_UNUSED(registered)
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/vadazaz-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace vadazaz
