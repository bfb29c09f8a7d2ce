// The Windows-1252, UTF-8 and UTF-16 conversions, on any bytes.
//
// Properties:
// - every Windows-1252 text survives a trip through UTF-8 (as text and as a POSIX path) and
//   through UTF-16 in both byte orders, and its UTF-8 form is well-formed;
// - IsValidUtf8 agrees with a decoder written from the UTF-8 definition (no overlong form, no
//   surrogate, nothing above U+10FFFF);
// - Utf8ToCp1252 gives the same characters as that decoder, a malformed sequence giving only
//   "?", never a character; well-formed text gives exactly the decoder's characters;
// - Utf16ToCp1252 gives one character per unit or surrogate pair, "?" for what it can't map;
// - no conversion reads past the end of its input (AddressSanitizer watches).
#include "FuzzSupport.h"
#include "platform/Cp1252.h"
#include "platform/Path.h"
#include "platform/Utf8Text.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace brinmor::fuzz {
namespace {

// The Windows-1252 byte of a code point, from the byte-to-code-point table alone.
char Cp1252Of(char32_t codePoint) {
    static const std::map<char32_t, char> bytes = [] {
        std::map<char32_t, char> map;
        for (int byte = 0; byte < 256; ++byte)
            map.emplace(Cp1252ToCodePoint(static_cast<unsigned char>(byte)),
                        static_cast<char>(byte));
        return map;
    }();
    const auto found = bytes.find(codePoint);
    return found == bytes.end() ? '?' : found->second;
}

struct Decoded {
    std::optional<char32_t> codePoint; // none: malformed
    std::size_t length;                // bytes taken
};

// One UTF-8 sequence at `at`, as the encoding defines it: the lead byte gives the length, every
// other byte is 10xxxxxx, and the value needs that length and is a scalar value.
Decoded DecodeUtf8(const std::string& text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return {lead, 1};
    std::size_t length = 0;
    char32_t value = 0;
    if (lead >= 0xC0 && lead < 0xE0) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead < 0xF8) {
        length = 4;
        value = lead & 0x07;
    } else {
        return {std::nullopt, 1};
    }
    if (text.size() - at < length)
        return {std::nullopt, 1};
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80)
            return {std::nullopt, 1};
        value = value << 6 | (next & 0x3F);
    }
    const char32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < shortest[length] || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
        return {std::nullopt, 1};
    return {value, length};
}

bool ReferenceValid(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const Decoded d = DecodeUtf8(text, i);
        if (!d.codePoint)
            return false;
        i += d.length;
    }
    return true;
}

// Windows-1252 text for UTF-8: "?" for each byte that starts no well-formed sequence.
std::string ReferenceFromUtf8(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const Decoded d = DecodeUtf8(text, i);
        out += d.codePoint ? Cp1252Of(*d.codePoint) : '?';
        i += d.length;
    }
    return out;
}

std::string ReferenceFromUtf16(const std::string& bytes, bool littleEndian) {
    const auto unit = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return littleEndian ? (b << 8 | a) : (a << 8 | b);
    };
    std::string out;
    std::size_t i = 0;
    for (; i + 2 <= bytes.size(); i += 2) {
        const char32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 4 <= bytes.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) <= 0xDFFF) {
            out += '?'; // beyond the BMP, where Windows-1252 has nothing
            i += 2;
        } else {
            out += u >= 0xD800 && u <= 0xDFFF ? '?' : Cp1252Of(u);
        }
    }
    if (i < bytes.size())
        out += '?';
    return out;
}

std::string Utf16Of(const std::string& text, bool littleEndian) {
    std::string bytes;
    for (const char c : text) {
        const char32_t u = Cp1252ToCodePoint(static_cast<unsigned char>(c));
        const char high = static_cast<char>(u >> 8);
        const char low = static_cast<char>(u & 0xFF);
        bytes += littleEndian ? low : high;
        bytes += littleEndian ? high : low;
    }
    return bytes;
}

std::string WithoutQuestionMarks(std::string text) {
    std::erase(text, '?');
    return text;
}

} // namespace
} // namespace brinmor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brinmor;
    using namespace brinmor::fuzz;
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // As Windows-1252 text.
    const std::string utf8 = Cp1252ToUtf8(bytes);
    Expect(IsValidUtf8(utf8), "the UTF-8 form of Windows-1252 text is well-formed: " + Shown(utf8));
    ExpectSame(bytes, Utf8ToCp1252(utf8), "Windows-1252 -> UTF-8 -> Windows-1252");
    ExpectSame(bytes, PathFromFileSystem(FileSystemPath(bytes)), "a path -> POSIX form -> back");
    for (const bool little : {true, false})
        ExpectSame(bytes, Utf16ToCp1252(Utf16Of(bytes, little), little),
                   std::string("Windows-1252 -> UTF-16") + (little ? "LE" : "BE") + " -> back");
    Expect(HasNonAscii(bytes) ==
               std::any_of(bytes.begin(), bytes.end(), [](char c) { return c & 0x80; }),
           "HasNonAscii of " + Shown(bytes));

    // As UTF-8 from outside.
    const bool valid = ReferenceValid(bytes);
    Expect(IsValidUtf8(bytes) == valid, std::string("IsValidUtf8 should say ") +
                                            (valid ? "true" : "false") + " for " + Shown(bytes));
    const std::string fromUtf8 = Utf8ToCp1252(bytes);
    const std::string expected = ReferenceFromUtf8(bytes);
    Expect(fromUtf8.size() <= bytes.size(), "Utf8ToCp1252 made text longer: " + Shown(bytes));
    if (valid)
        ExpectSame(expected, fromUtf8, "Utf8ToCp1252 of well-formed " + Shown(bytes));
    else
        ExpectSame(WithoutQuestionMarks(expected), WithoutQuestionMarks(fromUtf8),
                   "Utf8ToCp1252 of " + Shown(bytes) + ", question marks aside");
    if (valid && fromUtf8.find('?') == std::string::npos)
        ExpectSame(bytes, Cp1252ToUtf8(fromUtf8), "UTF-8 -> Windows-1252 -> UTF-8");

    // As UTF-16 from a file.
    for (const bool little : {true, false})
        ExpectSame(ReferenceFromUtf16(bytes, little), Utf16ToCp1252(bytes, little),
                   std::string("Utf16ToCp1252 ") + (little ? "LE" : "BE") + " of " + Shown(bytes));
    return 0;
}
