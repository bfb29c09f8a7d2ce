// Result file names: a looked-up name, as typed or imported, with ".dns" after it. Input: a byte
// of choices, then the name. Choices: odd, the name as it stands, without ".dns"; bit 1, the
// name starts with a reserved device name, picked by the next byte, its letters in the case the
// byte after sets (bit i for letter i), and the rest of the input follows it.
//
// Properties:
// - a name is refused exactly when it holds a path separator or names the folder or its
//   parent ("", ".", "..": EInOutError 3, "Nom de fichier incorrect"), or when it holds a
//   character Windows refuses in file names, a control character or one of < > : " | ? *
//   (EInOutError 123, "Erreur E/S 123");
// - an accepted name names a file right inside result/: the path built from it has result/ as
//   its folder and the name, as the system spells it, as its last part;
// - IsWindowsDeviceName, which Windows builds refuse as well, says yes exactly when the name is
//   one of Windows' reserved device names as documented (the table below), alone or followed
//   by an extension, trailing blanks before the extension aside, in any letter case.
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

// The folder a run writes into, as the program builds it (the fuzz targets run on POSIX).
const std::string kResultFolder = "/brinmor/result/";

// Windows' reserved device names as Microsoft documents them: those "Naming Files, Paths, and
// Namespaces" reserves (COM and LPT with 1 to 9 or a superscript 1, 2 or 3, B9, B2 and B3 in
// Windows-1252), and the console names that CreateFile opens.
const std::string kReservedNames[] = {
    "CON",  "PRN",  "AUX",  "NUL",  "CONIN$", "CONOUT$", "COM1",    "COM2",    "COM3",    "COM4",
    "COM5", "COM6", "COM7", "COM8", "COM9",   "COM\xB9", "COM\xB2", "COM\xB3", "LPT1",    "LPT2",
    "LPT3", "LPT4", "LPT5", "LPT6", "LPT7",   "LPT8",    "LPT9",    "LPT\xB9", "LPT\xB2", "LPT\xB3",
};

// As documented, "NUL.txt" is NUL; and Windows drops the blanks ahead of the extension.
bool IsReservedName(const std::string& fileName) {
    std::string base = UpperAscii(fileName.substr(0, fileName.find('.')));
    base.erase(base.find_last_not_of(' ') + 1);
    return std::find(std::begin(kReservedNames), std::end(kReservedNames), base) !=
           std::end(kReservedNames);
}

// A reserved name with the letters the mask picks in small letters.
std::string ReservedName(std::uint8_t pick, std::uint8_t mask) {
    std::string name = kReservedNames[pick % std::size(kReservedNames)];
    unsigned letter = 0;
    for (char& c : name)
        if (c >= 'A' && c <= 'Z' && ((mask >> letter++) & 1) != 0)
            c = static_cast<char>(c - 'A' + 'a');
    return name;
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
    const std::uint8_t choices = input.Byte();
    std::string fileName;
    if ((choices & 2) != 0) {
        const std::uint8_t pick = input.Byte();
        fileName = ReservedName(pick, input.Byte());
    }
    fileName += input.Rest() + ((choices & 1) == 0 ? ".dns" : "");

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
    Expect(IsWindowsDeviceName(fileName) == IsReservedName(fileName),
           Shown(fileName) + (IsReservedName(fileName) ? " is" : " is not") +
               " a reserved device name");
    if (refusal != 0)
        return 0;

    const std::filesystem::path folder = FileSystemPath(kResultFolder);
    const std::filesystem::path file = FileSystemPath(kResultFolder + fileName);
    Expect(file.lexically_normal().parent_path() == folder.parent_path(),
           Shown(fileName) + " names a file outside result/: " + file.string());
    Expect(file.filename() == FileSystemPath(fileName) && file.filename() != "." &&
               file.filename() != "..",
           Shown(fileName) + " is not the last part of its path: " + file.string());
    return 0;
}
