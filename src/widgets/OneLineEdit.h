#pragma once

#include <QString>

class QLineEdit;

namespace brinmor {

// The platform's one-line edit field takes a pasted or dropped text only up to its first line
// break; Qt's keeps the breaks. Nothing typed holds one, so a break in `text` came with the
// insertion that ends at `cursor`: it is cut from that break to the cursor.
void KeepFirstLineOfInsertion(QString& text, int& cursor);

// Makes `edit` take every insertion only up to its first line break.
void MakeOneLine(QLineEdit& edit);

} // namespace brinmor
