#include "rdap/AceName.h"

#include "platform/Cp1252.h"

#include <QString>
#include <QUrl>
#include <algorithm>

namespace brinmor {

std::string AceName(const std::string& name) {
    if (std::all_of(name.begin(), name.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return name;
    // Qt's default since 6.3 is non-transitional processing.
    const QByteArray ace = QUrl::toAce(QString::fromStdString(Cp1252ToUtf8(name)));
    return ace.isEmpty() ? name : ace.toStdString();
}

} // namespace brinmor
