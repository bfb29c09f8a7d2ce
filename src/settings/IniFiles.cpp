#include "settings/IniFiles.h"

#include "platform/Path.h"
#include "settings/ProfileFile.h"

namespace brinmor {

EIniFileException EIniFileException::CannotWrite(const std::filesystem::path& path) {
    // 0xE9 is "é" in Windows-1252.
    return EIniFileException("Impossible d'\xE9"
                             "crire dans " +
                             PathFromFileSystem(path));
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
    return ReadProfileString(section, key, defaultValue, fileName_);
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) const {
    if (!WriteProfileString(section, key, value, fileName_))
        throw EIniFileException::CannotWrite(fileName_);
}

} // namespace brinmor
