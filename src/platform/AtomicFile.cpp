#include "platform/AtomicFile.h"

#include "platform/AtomicFilePlatform.h"
#include "platform/Path.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string_view>
#include <vector>

namespace brinmor {

namespace fs = std::filesystem;

namespace {

// The file a path names, through a symbolic link if it is one, so that a linked file is
// replaced rather than the link itself.
fs::path ResolvedTarget(const fs::path& path) {
    std::error_code ec;
    if (fs::is_symlink(path, ec)) {
        fs::path resolved = fs::weakly_canonical(path, ec);
        if (!ec)
            return resolved;
    }
    return path;
}

// Temporary files are named prefix + 16 hexadecimal digits + suffix.
constexpr std::string_view kTemporaryPrefix = ".brinmor-";
constexpr std::size_t kTemporaryDigits = 16;
constexpr std::string_view kTemporarySuffix = ".tmp";

// Exactly the names TemporaryPath gives (native: narrow on POSIX, wide on Windows), so that no
// other file is ever touched.
template <typename Text> bool IsTemporaryName(const Text& name) {
    using Char = typename Text::value_type;
    if (name.size() != kTemporaryPrefix.size() + kTemporaryDigits + kTemporarySuffix.size())
        return false;
    const std::size_t suffixAt = kTemporaryPrefix.size() + kTemporaryDigits;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const Char c = name[i];
        const bool fits = i < kTemporaryPrefix.size() ? c == static_cast<Char>(kTemporaryPrefix[i])
                          : i >= suffixAt ? c == static_cast<Char>(kTemporarySuffix[i - suffixAt])
                                          : (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
        if (!fits)
            return false;
    }
    return true;
}

void RemoveLeftovers(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end;
         !ec && it != end; it.increment(ec)) {
        const fs::path name = it->path().filename();
        if (IsTemporaryName(name.native()))
            found.push_back(it->path());
    }
    for (const fs::path& path : found)
        atomic_file::RemoveIfUnheld(path);
}

} // namespace

namespace atomic_file {

// A short name of fixed length beside the target, so that any name the file system takes can
// be stored; no other writer is likely to pick it, and ".tmp" keeps it out of the "*.dns" list.
fs::path TemporaryPath(const fs::path& target) {
    static std::atomic<std::uint64_t> counter{0};
    static const std::uint64_t seed = [] {
        std::random_device random;
        return (static_cast<std::uint64_t>(random()) << 32) ^ random();
    }();
    // splitmix64: consecutive counts give unrelated names.
    std::uint64_t x = seed + ++counter * 0x9E3779B97F4A7C15u;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
    x ^= x >> 31;
    char name[32];
    std::snprintf(name, sizeof name, "%s%016llx%s", kTemporaryPrefix.data(),
                  static_cast<unsigned long long>(x), kTemporarySuffix.data());
    fs::path path = target;
    path.replace_filename(name);
    return path;
}

[[noreturn]] void Fail(int code, const char* step, const fs::path& path) {
    throw EOSError(code, std::string(step) + " " + PathFromFileSystem(path));
}

} // namespace atomic_file

void ReplaceFileContents(const fs::path& path, const std::string& bytes, FileMode mode) {
    const fs::path target = ResolvedTarget(path);
    try {
        atomic_file::WriteAndReplace(target, bytes, mode);
    } catch (const EOSError&) {
        // Not after every write: listing a folder of many thousand results costs far more
        // than a write. Where writes fail (a full disk, a crash), earlier ones may have too.
        RemoveLeftovers(target.parent_path());
        throw;
    }
}

void RemoveLeftoverTemporaryFiles(const fs::path& folder) {
    RemoveLeftovers(folder);
}

} // namespace brinmor
