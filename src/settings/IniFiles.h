#pragma once

#include "platform/Exceptions.h"

#include <filesystem>
#include <string>

namespace brinmor {

// A profile file that could not be written: "Impossible d'écrire dans %s".
class EIniFileException : public Exception {
public:
    using Exception::Exception;
    static EIniFileException CannotWrite(const std::filesystem::path& path);
};

// One profile file, named by its full path as the system names it. Each call opens the file,
// works and closes it again; nothing is cached.
class TIniFile {
public:
    explicit TIniFile(std::filesystem::path fileName) : fileName_(std::move(fileName)) {}

    const std::filesystem::path& FileName() const { return fileName_; }

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;

    // Raises EIniFileException when the file cannot be written.
    void WriteString(const std::string& section, const std::string& key,
                     const std::string& value) const;

private:
    std::filesystem::path fileName_;
};

} // namespace brinmor
