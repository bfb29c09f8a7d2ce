// Result file names: a looked-up name, as typed or imported, with ".dns" after it (or, when
// the first byte is odd, the rest of the input as it stands).
//
// Properties:
// - a name is refused exactly when it holds a path separator or names the folder or its
//   parent ("", ".", "..": EInOutError 3, "Nom de fichier incorrect"), or when it holds a
//   character Windows refuses in file names, a control character or one of < > : " | ? *
//   (EInOutError 123, "Erreur E/S 123");
// - an accepted name names a file right inside result/: the path built from it has result/ as
//   its folder and the name, as the system spells it, as its last part;
// - IsWindowsDeviceName, which Windows builds refuse as well, says yes exactly when Windows
//   would open a device: the part before the first dot, trailing blanks aside, is CON, PRN,
//   AUX, NUL, CONIN$ or CONOUT$, or COM or LPT with a digit 1 to 9 or a superscript 1, 2 or 3,
//   in any letter case.
#include "FuzzSupport.h"
#include "platform/Exceptions.h"
#include "platform/Path.h"
#include "platform/ResultName.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>

namespace brinmor::fuzz {
namespace {

// The folder a run writes into, as the program builds it.
const std::string kResultFolder = std::string("/brinmor/result") + PathDelim;

// As Windows decides it (and as Wine does): the base name ends at the first dot, then its
// trailing blanks go.
bool WindowsOpensDevice(const std::string& fileName) {
    std::string base = UpperAscii(fileName.substr(0, fileName.find('.')));
    base.erase(base.find_last_not_of(' ') + 1);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (base == device)
            return true;
    if (base.size() != 4 || (base.compare(0, 3, "COM") != 0 && base.compare(0, 3, "LPT") != 0))
        return false;
    const char digit = base[3];
    return (digit >= '1' && digit <= '9') || digit == '\xB9' || digit == '\xB2' || digit == '\xB3';
}

int ExpectedRefusal(const std::string& fileName) {
    if (fileName.find_first_of("/\\") != std::string::npos || fileName.empty() || fileName == "." ||
        fileName == "..")
        return 3;
    const bool refused = std::any_of(fileName.begin(), fileName.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || std::string_view("<>:\"|?*").find(c) != std::string_view::npos;
    });
    return refused ? 123 : 0;
}

} // namespace
} // namespace brinmor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brinmor;
    using namespace brinmor::fuzz;
    InputReader input(data, size);
    const bool asTyped = (input.Byte() & 1) == 0;
    const std::string fileName = input.Rest() + (asTyped ? ".dns" : "");

    int refusal = 0;
    try {
        CheckResultFileName(fileName);
    } catch (const EInOutError& e) {
        refusal = e.ErrorCode();
        ExpectSame(refusal == 3 ? "Nom de fichier incorrect"
                                : "Erreur E/S " + std::to_string(refusal),
                   e.Message(), "the message of a refused name");
    }
    Expect(refusal == ExpectedRefusal(fileName), Shown(fileName) + " should be refused with " +
                                                     std::to_string(ExpectedRefusal(fileName)) +
                                                     ", got " + std::to_string(refusal));
    Expect(IsWindowsDeviceName(fileName) == WindowsOpensDevice(fileName),
           std::string("Windows ") + (WindowsOpensDevice(fileName) ? "opens" : "does not open") +
               " a device for " + Shown(fileName));
    if (refusal != 0)
        return 0;

    const std::filesystem::path folder = FileSystemPath(kResultFolder);
    const std::filesystem::path file = FileSystemPath(kResultFolder + fileName);
    Expect(file.lexically_normal().parent_path() == folder.parent_path(),
           Shown(fileName) + " names a file outside result/: " + file.string());
    Expect(file.filename() == NativePath(fileName) && file.filename() != "." &&
               file.filename() != "..",
           Shown(fileName) + " is not the last part of its path: " + file.string());
    return 0;
}
