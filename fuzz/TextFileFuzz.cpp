// The text-file reader that the import of name lists and the result pane use, on any bytes
// with any line ends.
//
// Input: one byte of choices, then (when chosen) one byte that places the rest across the end
// of the reader's 64 KiB buffer, then the file's bytes.
//
// Property: the lines read are the file's bytes up to its first 0x1A, cut at each CR with the
// LF right after it taken as part of the line end (a LF elsewhere stays in its line), the last
// line counting without a line end and no empty line after a final line end. So the lines
// joined again give back the bytes, line ends aside. Read as an import (byte-order marks
// honoured), a file marked as UTF-8 gives those lines of the bytes after its mark, each
// converted; one marked as UTF-16 gives the lines of its converted text. Reading on after the
// last line gives nothing and leaves the line untouched.
#include "FuzzSupport.h"
#include "platform/Cp1252.h"
#include "platform/Exceptions.h"
#include "platform/TextFile.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace brinmor::fuzz {
namespace {

constexpr std::size_t kReaderBuffer = 64 * 1024;

std::vector<std::string> ReferenceLines(const std::string& bytes) {
    const std::string text = bytes.substr(0, bytes.find('\x1A'));
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t cr = text.find('\r', start);
        if (cr == std::string::npos) { // a last line without its line end
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, cr - start));
        start = cr + 1 + (text.compare(cr + 1, 1, "\n") == 0 ? 1 : 0);
    }
    return lines;
}

std::vector<std::string> ExpectedImport(const std::string& bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        std::vector<std::string> lines = ReferenceLines(bytes.substr(3));
        for (std::string& line : lines)
            line = Utf8ToCp1252(line);
        return lines;
    }
    if (bytes.starts_with("\xFF\xFE"))
        return ReferenceLines(Utf16ToCp1252(bytes.substr(2), true));
    if (bytes.starts_with("\xFE\xFF"))
        return ReferenceLines(Utf16ToCp1252(bytes.substr(2), false));
    return ReferenceLines(bytes);
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (std::size_t i = 0; i < lines.size(); ++i)
        all += (i == 0 ? "" : "|") + Shown(lines[i]);
    return "[" + all + "]";
}

} // namespace
} // namespace brinmor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brinmor;
    using namespace brinmor::fuzz;
    InputReader input(data, size);
    const std::uint8_t choices = input.Byte();
    const bool asImport = choices & 1;
    std::string bytes;
    if (choices & 2) // the rest starts this many bytes before the end of the first buffer
        bytes.assign(kReaderBuffer - input.Byte(), 'x');
    bytes += input.Rest();

    const std::filesystem::path path = ScratchFolder() / "f.txt";
    WriteWholeFile(path, bytes);
    std::vector<std::string> lines;
    try {
        TextFileReader reader(path, asImport ? TextFileReader::Encoding::UnicodeWhenMarked
                                             : TextFileReader::Encoding::Ansi);
        std::string line;
        while (reader.ReadLine(line))
            lines.push_back(line);
        line = "kept";
        Expect(!reader.ReadLine(line) && line == "kept",
               "reading after the last line gives nothing and leaves the line as it was");
        reader.Close();
    } catch (const Exception& e) {
        PropertyFailed("reading a plain file raised: " + e.Message());
    }

    const std::vector<std::string> expected =
        asImport ? ExpectedImport(bytes) : ReferenceLines(bytes);
    if (lines != expected)
        PropertyFailed(std::string(asImport ? "import" : "plain") + " lines of " + Shown(bytes) +
                       "\n   expected: " + Joined(expected) + "\n   actual:   " + Joined(lines));
    return 0;
}
