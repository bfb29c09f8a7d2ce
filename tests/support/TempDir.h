#pragma once

#include <filesystem>
#include <string>

namespace brinmor::test {

// A fresh folder under the system's temporary directory, removed with everything in it when
// the object goes. Path() is Windows-1252 text ending with the path separator, as the
// program's own paths are.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::filesystem::path Native() const { return native_; }

    // Whole-file helpers; names are relative to the folder (Windows-1252).
    void Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;
    void MakeDir(const std::string& name) const;

private:
    std::filesystem::path native_;
    std::string path_;
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
