#pragma once

// The part of IdWinsock that each platform does its own way (IdWinsockPosix.cpp,
// IdWinsockWindows.cpp); IdWinsock.cpp holds the rest.
#include "net/IdWinsock.h"

namespace brinmor::winsock {

// Fills the table from the library, or with the stand-ins; false, with the table untouched,
// when the library cannot be loaded.
bool FillTable(TWinsockTable& table);

// Releases what FillTable loaded.
void ReleaseLibrary();

} // namespace brinmor::winsock
