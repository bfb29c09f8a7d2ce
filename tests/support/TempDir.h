#pragma once

#include <filesystem>
#include <string>

namespace brinmor::test {

// A fresh folder under the system's temporary directory, removed with everything in it when
// the object goes; given a name, a folder of that name inside a fresh one. Path() is the folder
// as the system names it; a name held as Windows-1252 text joins it through File().
class TempDir {
public:
    explicit TempDir(const std::filesystem::path& name = {});
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return native_; }
    // The entry of that Windows-1252 name in the folder ('/' separates folders).
    std::filesystem::path File(const std::string& name) const;

    // Whole-file helpers; names are relative to the folder (Windows-1252).
    void Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;
    void MakeDir(const std::string& name) const;

private:
    std::filesystem::path root_;
    std::filesystem::path native_;
};

// Points the executable directory at a TempDir for the object's lifetime.
class ExecutableDirectoryScope {
public:
    explicit ExecutableDirectoryScope(const TempDir& dir);
    ~ExecutableDirectoryScope();
    ExecutableDirectoryScope(const ExecutableDirectoryScope&) = delete;
    ExecutableDirectoryScope& operator=(const ExecutableDirectoryScope&) = delete;
};

} // namespace brinmor::test
