#pragma once

#include <QIcon>

namespace vadazaz {

// The program's own icon, in the sizes the windows and the desktop ask for.
QIcon programIcon();

} // namespace vadazaz
