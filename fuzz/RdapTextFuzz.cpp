// The RDAP reader and its rendering: the input is an answer body, read as the registry's JSON
// and written as the stored text.
//
// Properties, each stated from the input rather than from the renderer's rules:
// - the text is valid UTF-8, whatever the input held;
// - its lines end in CR LF, and nowhere else is there a CR or a LF;
// - the domain's name, each of its statuses and each name server's name appear in the text,
//   unless they hold a character that could break a line;
// - the address asked is the first line.
#include "FuzzSupport.h"
#include "rdap/RdapText.h"

#include <QJsonArray>
#include <QJsonObject>
#include <cstdint>
#include <string>
#include <vector>

namespace brinmor::fuzz {
namespace {

constexpr const char* kAddress = "https://rdap.invalid/domain/fuzz.invalid";

bool ValidUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const int more = byte < 0x80         ? 0
                         : (byte >> 5) == 6  ? 1
                         : (byte >> 4) == 14 ? 2
                         : (byte >> 3) == 30 ? 3
                                             : -1;
        if (more < 0 || i + more >= text.size())
            return false;
        std::uint32_t code = more == 0 ? byte : byte & (0x3F >> more);
        for (int k = 1; k <= more; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next >> 6) != 2)
                return false;
            code = code << 6 | (next & 0x3F);
        }
        const std::uint32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (code < least[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += more + 1;
    }
    return true;
}

// A string that may show as it is: no control character, no line or paragraph separator.
bool Plain(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F) ||
            c.unicode() == 0x2028 || c.unicode() == 0x2029 || c.isSurrogate())
            return false;
    return true;
}

void ExpectShown(const std::string& text, const QJsonValue& value, const char* what) {
    const QString string = value.toString();
    if (!Plain(string))
        return;
    Expect(text.find(string.toStdString()) != std::string::npos,
           std::string(what) + " missing: " + Shown(string.toStdString()));
}

} // namespace
} // namespace brinmor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brinmor;
    using namespace brinmor::fuzz;
    const QByteArray body(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<QJsonObject> domain = JsonObject(body);
    BootstrapBases(body);
    if (!domain)
        return 0;
    RegistrarLink(*domain);
    const std::string text = RdapText(kAddress, *domain);

    Expect(ValidUtf8(text), "not UTF-8: " + Shown(text));
    Expect(text.rfind(std::string(kAddress) + "\r\n", 0) == 0, "the address is not first");
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r')
            Expect(i + 1 < text.size() && text[i + 1] == '\n', "a CR without LF: " + Shown(text));
        if (text[i] == '\n')
            Expect(i > 0 && text[i - 1] == '\r', "a LF without CR: " + Shown(text));
    }
    Expect(text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0,
           "the last line does not end");

    ExpectShown(text, domain->value(QLatin1String("ldhName")), "the name");
    for (const QJsonValue& status : domain->value(QLatin1String("status")).toArray())
        ExpectShown(text, status, "a status");
    for (const QJsonValue& server : domain->value(QLatin1String("nameservers")).toArray())
        ExpectShown(text, server.toObject().value(QLatin1String("ldhName")), "a name server");
    return 0;
}
