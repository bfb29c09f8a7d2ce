#include "widgets/FontFamilyName.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace brinmor {

namespace {

struct Table {
    QByteArray tag;
    QByteArray data;
};

std::uint32_t Read32(const QByteArray& bytes, qsizetype at) {
    std::uint32_t value = 0;
    for (qsizetype i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::uint16_t Read16(const QByteArray& bytes, qsizetype at) {
    return static_cast<std::uint16_t>((static_cast<unsigned char>(bytes[at]) << 8) |
                                      static_cast<unsigned char>(bytes[at + 1]));
}

void Write32(QByteArray& bytes, qsizetype at, std::uint32_t value) {
    for (qsizetype i = 3; i >= 0; --i, value >>= 8)
        bytes[at + i] = static_cast<char>(value & 0xFF);
}

void Append16(QByteArray& bytes, std::uint16_t value) {
    bytes.append(static_cast<char>(value >> 8));
    bytes.append(static_cast<char>(value & 0xFF));
}

std::uint32_t CheckSum(const QByteArray& bytes) {
    QByteArray padded = bytes;
    padded.append(QByteArray((4 - padded.size() % 4) % 4, '\0'));
    std::uint32_t sum = 0;
    for (qsizetype at = 0; at < padded.size(); at += 4)
        sum += Read32(padded, at);
    return sum;
}

// The tables of an sfnt in directory order, or nothing where the directory lies outside it.
std::optional<std::vector<Table>> ReadTables(const QByteArray& font) {
    if (font.size() < 12)
        return std::nullopt;
    const int count = Read16(font, 4);
    if (font.size() < 12 + 16 * count)
        return std::nullopt;
    std::vector<Table> tables;
    for (int i = 0; i < count; ++i) {
        const qsizetype record = 12 + 16 * i;
        const std::uint32_t offset = Read32(font, record + 8);
        const std::uint32_t length = Read32(font, record + 12);
        if (offset > static_cast<std::uint64_t>(font.size()) ||
            length > static_cast<std::uint64_t>(font.size()) - offset)
            return std::nullopt;
        tables.push_back({font.mid(record, 4), font.mid(offset, length)});
    }
    return tables;
}

QByteArray Encoded(const QString& text, std::uint16_t platform) {
    // Macintosh names are 8-bit; Unicode and Windows names are UTF-16, high byte first.
    if (platform == 1)
        return text.toLatin1();
    QByteArray bytes;
    for (const QChar c : text)
        Append16(bytes, c.unicode());
    return bytes;
}

// A format 0 name table with the family names replaced, or nothing where it cannot be read.
std::optional<QByteArray> RenamedTable(const QByteArray& name, const QString& family) {
    if (name.size() < 6 || Read16(name, 0) != 0)
        return std::nullopt;
    const int count = Read16(name, 2);
    const qsizetype storage = Read16(name, 4);
    if (name.size() < 6 + 12 * count || storage > name.size())
        return std::nullopt;
    QByteArray records;
    QByteArray strings;
    for (int i = 0; i < count; ++i) {
        const qsizetype record = 6 + 12 * i;
        const std::uint16_t platform = Read16(name, record);
        const std::uint16_t nameId = Read16(name, record + 6);
        const qsizetype length = Read16(name, record + 8);
        const qsizetype offset = storage + Read16(name, record + 10);
        if (offset + length > name.size())
            return std::nullopt;
        const bool familyName = nameId == 1 || nameId == 4 || nameId == 16;
        const QByteArray text = familyName ? Encoded(family, platform) : name.mid(offset, length);
        // Lengths and offsets are 16-bit: a table that would outgrow them stays as it was.
        if (text.size() > 0xFFFF || strings.size() > 0xFFFF)
            return std::nullopt;
        records.append(name.mid(record, 8));
        Append16(records, static_cast<std::uint16_t>(text.size()));
        Append16(records, static_cast<std::uint16_t>(strings.size()));
        strings.append(text);
    }
    QByteArray table;
    Append16(table, 0);
    Append16(table, static_cast<std::uint16_t>(count));
    Append16(table, static_cast<std::uint16_t>(6 + records.size()));
    return table + records + strings;
}

} // namespace

QByteArray WithFamilyName(const QByteArray& font, const QString& family) {
    std::optional<std::vector<Table>> tables = ReadTables(font);
    if (!tables)
        return font;
    bool renamed = false;
    for (Table& table : *tables) {
        // The head table's checksum is taken with the whole font's adjustment at zero.
        if (table.tag == "head" && table.data.size() >= 12)
            Write32(table.data, 8, 0);
        if (table.tag != "name")
            continue;
        const std::optional<QByteArray> name = RenamedTable(table.data, family);
        if (!name)
            return font;
        table.data = *name;
        renamed = true;
    }
    if (!renamed)
        return font;

    // The same directory header, then each table at its new place, four-byte aligned.
    QByteArray result = font.left(12);
    qsizetype offset = 12 + 16 * static_cast<qsizetype>(tables->size());
    QByteArray body;
    qsizetype head = -1;
    for (const Table& table : *tables) {
        QByteArray record = table.tag + QByteArray(12, '\0');
        Write32(record, 4, CheckSum(table.data));
        Write32(record, 8, static_cast<std::uint32_t>(offset + body.size()));
        Write32(record, 12, static_cast<std::uint32_t>(table.data.size()));
        if (table.tag == "head" && table.data.size() >= 12)
            head = offset + body.size();
        result.append(record);
        body.append(table.data);
        body.append(QByteArray((4 - body.size() % 4) % 4, '\0'));
    }
    result.append(body);
    if (head >= 0) {
        // The whole font then sums to the sfnt's magic number.
        Write32(result, head + 8, 0xB1B0AFBAu - CheckSum(result));
    }
    return result;
}

} // namespace brinmor
