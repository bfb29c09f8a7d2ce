#include "widgets/QtText.h"

#include "platform/Cp1252.h"

namespace brinmor {

QString ToQString(const std::string& text) {
    QString result;
    result.reserve(static_cast<qsizetype>(text.size()));
    for (const char c : text) {
        const char32_t cp = Cp1252ToCodePoint(static_cast<unsigned char>(c));
        result += QChar(static_cast<char16_t>(cp)); // every Windows-1252 character is in the BMP
    }
    return result;
}

std::string FromQString(const QString& text) {
    std::string result;
    result.reserve(static_cast<std::size_t>(text.size()));
    for (const uint cp : text.toUcs4())
        result += static_cast<char>(CodePointToCp1252(cp));
    return result;
}

QString FileNameToQString(const std::filesystem::path& name) {
#ifdef _WIN32
    return QString::fromStdWString(name.native());
#else
    const std::string& bytes = name.native();
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
#endif
}

std::filesystem::path FileNameFromQString(const QString& name) {
#ifdef _WIN32
    return name.toStdWString();
#else
    const QByteArray bytes = name.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
#endif
}

} // namespace brinmor
