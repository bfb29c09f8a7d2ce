// The Windows Sockets table on Windows: the library itself, loaded by name.
#include "net/IdWinsockPlatform.h"

#include <windows.h>

namespace brinmor::winsock {

namespace {

HMODULE library = nullptr;

} // namespace

bool FillTable(TWinsockTable& table) {
    library = LoadLibraryA(WinsockLibraryName);
    if (library == nullptr)
        return false;
    for (int i = 0; i < weEntryCount; ++i)
        table.Set(static_cast<TWinsockEntry>(i), GetProcAddress(library, WinsockEntryNames[i]));
    return true;
}

void ReleaseLibrary() {
    if (library != nullptr)
        FreeLibrary(library);
    library = nullptr;
}

} // namespace brinmor::winsock
