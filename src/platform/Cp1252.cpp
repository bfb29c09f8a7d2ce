#include "platform/Cp1252.h"

#include <array>

namespace brinmor {

namespace {

// 0x80..0x9F; the five bytes the code page leaves undefined keep their C1 code points so
// that every byte survives a round trip.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

char32_t Cp1252ToCodePoint(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControls[byte - 0x80];
    return byte;
}

unsigned char CodePointToCp1252(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<unsigned char>(codePoint);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == codePoint)
            return static_cast<unsigned char>(0x80 + i);
    }
    return '?';
}

std::string Cp1252ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (const char c : text)
        AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
    return out;
}

std::string Utf8ToCp1252(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t cp = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            cp = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            cp = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            cp = lead & 0x07;
        } else {
            out += '?';
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        bool valid = true;
        for (int k = 0; k < extra; ++k, ++j) {
            if (j >= text.size() || (static_cast<unsigned char>(text[j]) & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            cp = (cp << 6) | (static_cast<unsigned char>(text[j]) & 0x3F);
        }
        if (!valid) {
            out += '?';
            i = j > i + 1 ? j : i + 1;
            continue;
        }
        // A longer form than the value needs is malformed too: "\xC0\xAF" must not become "/".
        constexpr char32_t kShortest[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kShortest[extra]) {
            out += '?';
            i = j;
            continue;
        }
        out += static_cast<char>(CodePointToCp1252(cp));
        i = j;
    }
    return out;
}

std::string Utf16ToCp1252(const std::string& bytes, bool littleEndian) {
    const auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char16_t>(littleEndian ? (b << 8) | a : (a << 8) | b);
    };
    std::string out;
    out.reserve(bytes.size() / 2 + 1);
    std::size_t i = 0;
    while (i + 1 < bytes.size()) {
        const char16_t u = unit(i);
        i += 2;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < bytes.size()) {
            const char16_t low = unit(i);
            if (low >= 0xDC00 && low <= 0xDFFF)
                i += 2; // a character beyond the BMP: none is in Windows-1252
            out += '?';
            continue;
        }
        out += static_cast<char>(CodePointToCp1252(u >= 0xD800 && u <= 0xDFFF ? 0xFFFD : u));
    }
    if (i < bytes.size())
        out += '?';
    return out;
}

} // namespace brinmor
