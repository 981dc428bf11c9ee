#pragma once

class QWidget;

namespace vadazaz {

// Whether the problem is complete enough to open the EPT. When it is not, the first thing
// missing has already been shown in a message box over parent.
bool ReadyForEPT(QWidget *parent = nullptr);

} // namespace vadazaz
