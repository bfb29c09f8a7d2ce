#pragma once

#include <string>

namespace brinmor {

// Refuses a result file name that would write outside its folder or that Windows would refuse,
// before anything is created, so result folders stay portable:
// - "/" or "\", or a name that is empty, "." or "..": EInOutError 3 ("Nom de fichier incorrect");
// - < > : " | ? * or a control character: EInOutError 123;
// - on Windows, a device name (see IsWindowsDeviceName): EInOutError 123.
void CheckResultFileName(const std::string& fileName);

// True when Windows would open a device for this file name: CON, PRN, AUX, NUL, CONIN$, CONOUT$,
// or COM and LPT followed by 1 to 9 or by a superscript 1, 2 or 3, before the first dot and any
// blanks ahead of it, in any letter case.
bool IsWindowsDeviceName(const std::string& fileName);

} // namespace brinmor
