#include "settings/ProfileFile.h"

#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <optional>
#include <vector>

namespace brinmor {

namespace {

constexpr const char* LineBlanks = " \t\v\f";
// Blanks around names and values inside a line.
constexpr const char* InnerBlanks = " \t\v";

std::string Trim(const std::string& text, const char* blanks) {
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Windows-1252 letters compared without regard to case.
unsigned char FoldCase(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<unsigned char>(c + 0x20);
    switch (c) {
    case 0x8A:
    case 0x8C:
    case 0x8E:
        return static_cast<unsigned char>(c + 0x10);
    case 0x9F:
        return 0xFF;
    default:
        return c;
    }
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldCase(static_cast<unsigned char>(a[i])) !=
            FoldCase(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

enum class FileState { Read, Missing, Unreadable };

FileState ReadFileBytes(const std::filesystem::path& path, std::string& bytes) {
    bytes.clear();
#ifdef _WIN32
    std::FILE* file = _wfopen(path.c_str(), L"rb");
#else
    std::FILE* file = std::fopen(path.c_str(), "rb");
#endif
    if (!file)
        return errno == ENOENT ? FileState::Missing : FileState::Unreadable;
    char chunk[8192];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return failed ? FileState::Unreadable : FileState::Read;
}

// One line of the file: its text is [begin, end), its line end (a run of CR and LF, empty
// only at the end of the file) is [end, next).
struct Line {
    std::size_t begin;
    std::size_t end;
    std::size_t next;
};

// Where a section and a key stand in a file.
struct Lookup {
    std::vector<Line> lines;
    std::optional<std::size_t> section;   // the first section of that name
    std::optional<std::size_t> lastEntry; // its last entry line
    std::optional<std::size_t> entry;     // its first entry with that key
    std::string keySpelling;
    std::string value; // blanks removed, quotes kept
};

Lookup Find(const std::string& text, const std::string& section, const std::string& key) {
    Lookup found;
    std::size_t i = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0; // a UTF-8 mark
    while (i < text.size()) {
        Line line{i, i, i};
        while (i < text.size() && text[i] != '\r' && text[i] != '\n')
            ++i;
        line.end = i;
        while (i < text.size() && (text[i] == '\r' || text[i] == '\n'))
            ++i;
        line.next = i;
        found.lines.push_back(line);
        const std::size_t index = found.lines.size() - 1;

        const std::string content =
            Trim(text.substr(line.begin, line.end - line.begin), LineBlanks);
        if (content.empty() || content[0] == ';')
            continue;
        if (content[0] == '[') {
            if (found.section)
                break; // the section ends here; later ones of the same name are never searched
            const auto close = content.find(']', 1);
            const std::string name =
                Trim(content.substr(1, close == std::string::npos ? std::string::npos : close - 1),
                     InnerBlanks);
            if (SameName(name, section))
                found.section = index;
            continue;
        }
        const auto equals = content.find('=');
        if (!found.section || equals == std::string::npos)
            continue;
        found.lastEntry = index;
        const std::string entryKey = Trim(content.substr(0, equals), InnerBlanks);
        if (!found.entry && SameName(entryKey, key)) {
            found.entry = index;
            found.keySpelling = entryKey;
            found.value = Trim(content.substr(equals + 1), InnerBlanks);
        }
    }
    return found;
}

std::string Unquoted(const std::string& value) {
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

std::string Capped(std::string value) {
    if (value.size() > MaxProfileValue)
        value.resize(MaxProfileValue);
    return value;
}

std::string WithoutTrailingSpaces(const std::string& text) {
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

} // namespace

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, const std::filesystem::path& path) {
    std::string text;
    if (ReadFileBytes(path, text) == FileState::Read) {
        const Lookup found = Find(text, Trim(section, " "), Trim(key, " "));
        if (found.entry)
            return Capped(Unquoted(found.value));
    }
    return Capped(WithoutTrailingSpaces(defaultValue));
}

bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::filesystem::path& path) {
    // A line break would end the entry early and leave the rest as a line of its own.
    for (const std::string* part : {&section, &key, &value})
        if (part->find_first_of("\r\n") != std::string::npos)
            return false;
    std::string text;
    if (ReadFileBytes(path, text) == FileState::Unreadable)
        return false;
    const std::string sectionName = Trim(section, " ");
    const std::string keyName = Trim(key, " ");
    const Lookup found = Find(text, sectionName, keyName);

    std::string updated;
    const std::string entry = (found.entry ? found.keySpelling : keyName) + "=" + value;
    if (found.entry) {
        const Line& line = found.lines[*found.entry];
        if (text.compare(line.begin, line.end - line.begin, entry) == 0)
            return true; // nothing changes: the file stays as it is
        // A rewritten line gets its line end, even on a last line that had none.
        updated = text.substr(0, line.begin) + entry + (line.end == line.next ? "\r\n" : "") +
                  text.substr(line.end);
    } else if (found.section) {
        // Right after the line end of the section's last entry, or of its heading.
        const Line& line = found.lines[found.lastEntry.value_or(*found.section)];
        std::size_t at = line.end;
        if (line.end != line.next)
            at += text.compare(line.end, 2, "\r\n") == 0 ? 2 : 1;
        updated = text.substr(0, at) + (line.end == line.next ? "\r\n" : "") + entry + "\r\n" +
                  text.substr(at);
    } else {
        updated = text;
        if (!updated.empty() && updated.back() != '\r' && updated.back() != '\n')
            updated += "\r\n";
        updated += "[" + sectionName + "]\r\n" + entry + "\r\n";
    }
    // Names that a read could not find again are refused: a "]" in a section name, a key that
    // holds "=" or starts with ";" or "[", other blanks than spaces around either. Their line
    // would be lost to every read, and each later write would add another.
    const Lookup written = Find(updated, sectionName, keyName);
    if (!written.entry)
        return false;
    const Line& line = written.lines[*written.entry];
    if (updated.compare(line.begin, line.end - line.begin, entry) != 0)
        return false;
    try {
        ReplaceFileContents(path, updated, FileMode::OwnerOnly);
    } catch (const EOSError&) {
        return false;
    }
    return true;
}

} // namespace brinmor
