#include "support/TempDir.h"

#include "platform/ExecutableDirectory.h"
#include "platform/Path.h"

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace brinmor::test {

namespace fs = std::filesystem;

TempDir::TempDir(const fs::path& name) {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::ostringstream unique;
        unique << "brinmor-test-" << random() << '-' << counter++;
        const fs::path candidate = fs::temp_directory_path() / unique.str();
        if (fs::create_directory(candidate)) {
            root_ = candidate;
            native_ = name.empty() ? candidate : candidate / name;
            fs::create_directory(native_);
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Tests may leave read-only folders behind; give write access back before removing.
    for (auto it = fs::recursive_directory_iterator(root_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(root_, ignored);
}

fs::path TempDir::File(const std::string& name) const {
    return native_ / FileSystemPath(name);
}

void TempDir::Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + name);
}

std::string TempDir::Read(const std::string& name) const {
    std::ifstream in(File(name), std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + name);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool TempDir::Exists(const std::string& name) const {
    return fs::exists(File(name));
}

void TempDir::MakeDir(const std::string& name) const {
    fs::create_directories(File(name));
}

ExecutableDirectoryScope::ExecutableDirectoryScope(const TempDir& dir) {
    SetExecutableDirectoryOverride(dir.Path());
}

ExecutableDirectoryScope::~ExecutableDirectoryScope() {
    SetExecutableDirectoryOverride({});
}

} // namespace brinmor::test
