#include "FuzzSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace brinmor::fuzz {

namespace {

std::filesystem::path& Folder() {
    static std::filesystem::path folder;
    return folder;
}

void RemoveFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
}

} // namespace

void PropertyFailed(const std::string& what) {
    std::fprintf(stderr, "\n== Property failed: %s\n", what.c_str());
    std::fflush(stderr);
    RemoveFolder(); // abort() skips what atexit() would do
    std::abort();
}

void Expect(bool holds, const std::string& what) {
    if (!holds)
        PropertyFailed(what);
}

void ExpectSame(const std::string& expected, const std::string& actual, const std::string& what) {
    if (expected != actual)
        PropertyFailed(what + "\n   expected: " + Shown(expected) +
                       "\n   actual:   " + Shown(actual));
}

std::string UpperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string Shown(const std::string& bytes) {
    constexpr std::size_t kEnds = 160; // a long text shows its start and its end
    if (bytes.size() > 2 * kEnds + 40)
        return Shown(bytes.substr(0, kEnds)) + " ... (" + std::to_string(bytes.size()) +
               " bytes) ... " + Shown(bytes.substr(bytes.size() - kEnds));
    static const char* const kHex = "0123456789ABCDEF";
    std::string shown = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '"' || byte == '\\') {
            shown += '\\';
            shown += c;
        } else if (byte >= 0x20 && byte < 0x7F) {
            shown += c;
        } else {
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 0xF];
        }
    }
    return shown + "\"";
}

std::uint8_t InputReader::Byte() {
    return position_ < size_ ? data_[position_++] : 0;
}

std::uint16_t InputReader::Word() {
    const std::uint16_t high = Byte();
    return static_cast<std::uint16_t>(high << 8 | Byte());
}

std::string InputReader::Bytes(std::size_t count) {
    count = std::min(count, size_ - position_);
    std::string bytes(reinterpret_cast<const char*>(data_ + position_), count);
    position_ += count;
    return bytes;
}

std::string InputReader::Counted() {
    return Bytes(Byte());
}

std::string InputReader::UpToZero() {
    const std::uint8_t* end = std::find(data_ + position_, data_ + size_, 0);
    std::string bytes = Bytes(static_cast<std::size_t>(end - (data_ + position_)));
    Byte();
    return bytes;
}

std::string InputReader::Rest() {
    return Bytes(size_ - position_);
}

void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Expect(file != nullptr, "the file can be written: " + path.string());
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    Expect(std::fclose(file) == 0 && written, "the file is written whole: " + path.string());
}

const std::filesystem::path& ScratchFolder() {
    static const std::filesystem::path path = [] {
        std::filesystem::path parent = "/dev/shm";
        if (const char* chosen = std::getenv("TMPDIR"); chosen != nullptr && *chosen != '\0')
            parent = chosen;
        else if (::access("/dev/shm", W_OK) != 0)
            parent = std::filesystem::temp_directory_path();
        std::string pattern = (parent / "brinmor-fuzz.XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            PropertyFailed("no scratch folder could be made under " + parent.string());
        Folder() = pattern;
        std::atexit(RemoveFolder);
        return Folder();
    }();
    return path;
}

} // namespace brinmor::fuzz
