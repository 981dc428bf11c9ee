#pragma once

class QLineEdit;

namespace vadazaz {

// Makes a box take a name as the program stores it: at most 10 characters, and none of them a
// TAB, a line break or another control character, which would break the lines and columns of
// a CPT file. Such a character typed or pasted into the box is refused.
void makeNameBox(QLineEdit *box);

} // namespace vadazaz
