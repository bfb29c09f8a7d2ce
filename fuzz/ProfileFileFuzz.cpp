// The profile (config.ini) reader and writer: any file, any section, key and value.
//
// Input: one byte of choices (bit 0: the file exists), then the section, the key and the value
// each ended by a byte 0, then the file's bytes.
//
// Properties:
// - reading any section and key from any file gives at most 2047 characters, and the default
//   (without its trailing spaces) when there is no file;
// - a write that holds a line break is refused; one of plain names (letters, digits, "_", "-",
//   ".") and a value without line breaks is accepted;
// - after an accepted write, reading the same section and key gives the value written, as the
//   reader gives values: blanks around it and one pair of enclosing quotes removed, cut to 2047
//   characters;
// - the rest of the file is unchanged: every line stays byte for byte, but for the entry
//   written (in place of the old one, or new, after a new heading), and the line end that a last
//   line without one gets before a line is added after it;
// - writing the same again changes nothing; a refused write leaves the file as it was.
#include "FuzzSupport.h"
#include "settings/ProfileFile.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace brinmor::fuzz {
namespace {

std::optional<std::string> ReadFile(const std::filesystem::path& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return std::nullopt;
    std::string bytes;
    char chunk[4096];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, got);
    std::fclose(file);
    return bytes;
}

void WriteFile(const std::filesystem::path& path, const std::optional<std::string>& bytes) {
    std::remove(path.c_str());
    if (bytes)
        WriteWholeFile(path, *bytes);
}

// The value as the reader gives it back.
std::string AsRead(std::string value) {
    value.erase(value.find_last_not_of(" \t\v\f") + 1); // the line's own trailing blanks
    value.erase(0, value.find_first_not_of(" \t\v"));
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        value = value.substr(1, value.size() - 2);
    return value.substr(0, MaxProfileValue);
}

std::string Trimmed(const std::string& name) {
    const auto first = name.find_first_not_of(' ');
    return first == std::string::npos ? ""
                                      : name.substr(first, name.find_last_not_of(' ') - first + 1);
}

bool Plain(const std::string& name) {
    return !name.empty() &&
           name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                  "0123456789_-.") == std::string::npos;
}

// The file's lines, each with its line end (CR LF, CR or LF; none on a last line without one).
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        else
            end += text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

std::string Content(const std::string& line) {
    return line.substr(0, line.find_first_of("\r\n"));
}

void CheckOnlyTheEntryChanged(const std::string& before, const std::string& after,
                              const std::string& section, const std::string& value) {
    const std::vector<std::string> old = Lines(before);
    const std::vector<std::string> now = Lines(after);
    std::size_t same = 0;
    while (same < old.size() && same < now.size() && old[same] == now[same])
        ++same;
    std::size_t sameEnd = 0;
    while (sameEnd < old.size() - same && sameEnd < now.size() - same &&
           old[old.size() - 1 - sameEnd] == now[now.size() - 1 - sameEnd])
        ++sameEnd;
    const std::vector<std::string> removed(old.begin() + same, old.end() - sameEnd);
    const std::vector<std::string> added(now.begin() + same, now.end() - sameEnd);
    const std::string what = "the write into " + Shown(before) + " gave " + Shown(after);

    Expect(removed.size() <= 1, what + ": more than one line changed");
    int entries = 0;
    bool lineEndAdded = false;
    for (const std::string& line : added) {
        const bool heading = line == "[" + Trimmed(section) + "]\r\n";
        if (!lineEndAdded && !removed.empty() && line == removed[0] + "\r\n" &&
            Content(removed[0]) == removed[0]) {
            lineEndAdded = true;
        } else if (!heading) {
            Expect(Content(line).ends_with("=" + value),
                   what + ": a line was added: " + Shown(line));
            ++entries;
        }
    }
    Expect(entries == 1, what + ": " + std::to_string(entries) + " entries written");
    if (!removed.empty())
        Expect(lineEndAdded || Content(removed[0]).find('=') != std::string::npos,
               what + ": a line that is no entry went: " + Shown(removed[0]));
}

} // namespace
} // namespace brinmor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brinmor;
    using namespace brinmor::fuzz;
    InputReader input(data, size);
    const bool exists = input.Byte() & 1;
    const std::string section = input.UpToZero();
    const std::string key = input.UpToZero();
    const std::string value = input.UpToZero();
    const std::optional<std::string> before =
        exists ? std::optional<std::string>(input.Rest()) : std::nullopt;

    const std::filesystem::path path = ScratchFolder() / "config.ini";
    WriteFile(path, before);
    const std::string read = ReadProfileString(section, key, value, path);
    Expect(read.size() <= MaxProfileValue, "a value read is at most 2047 characters");
    if (!before)
        ExpectSame(value.substr(0, value.find_last_not_of(' ') + 1).substr(0, MaxProfileValue),
                   read, "the default, without a file");

    const bool written = WriteProfileString(section, key, value, path);
    const std::optional<std::string> after = ReadFile(path);
    const bool lineBreak = (section + key + value).find_first_of("\r\n") != std::string::npos;
    if (lineBreak)
        Expect(!written, "a write holding a line break is refused");
    if (Plain(Trimmed(section)) && Plain(Trimmed(key)) && !lineBreak)
        Expect(written, "a write of plain names is accepted: " + Shown(section) + ", " +
                            Shown(key) + " = " + Shown(value));
    if (!written) {
        Expect(after == before, "a refused write leaves the file as it was");
        return 0;
    }

    Expect(after.has_value(), "an accepted write leaves a file");
    ExpectSame(AsRead(value), ReadProfileString(section, key, "\x01", path),
               "reading back " + Shown(section) + ", " + Shown(key) + " from " + Shown(*after));
    if (*after != before.value_or(""))
        CheckOnlyTheEntryChanged(before.value_or(""), *after, section, value);
    Expect(WriteProfileString(section, key, value, path) && ReadFile(path) == after,
           "writing the same again changes nothing in " + Shown(*after));
    return 0;
}
