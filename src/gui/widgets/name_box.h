#pragma once

class QLineEdit;

namespace vadazaz {

// Makes a box take a name as the program stores it (see nameFault): at most 10 characters as a
// reader counts them, and no TAB, line break, other control character or invisible formatting
// character, which would break the lines and columns of a CPT file or show the name as another.
// Such a character typed or pasted into the box is refused; of a text typed or pasted into a full
// box, only what fits is taken.
void makeNameBox(QLineEdit *box);

} // namespace vadazaz
