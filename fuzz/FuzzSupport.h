#pragma once

// What every fuzz target shares: reading its input field by field, a scratch folder, the
// failed-property report that makes libFuzzer keep the input, and ASCII capitals.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace brinmor::fuzz {

// Prints what differed, with the bytes escaped, and aborts: libFuzzer reports the input.
[[noreturn]] void PropertyFailed(const std::string& what);
void Expect(bool holds, const std::string& what);
void ExpectSame(const std::string& expected, const std::string& actual, const std::string& what);

// Bytes as a C string literal would show them: printable ASCII as is, the rest escaped; the
// middle of a long text is left out.
std::string Shown(const std::string& bytes);

// The letters a to z as capitals, every other byte as it is: how Windows compares its own names
// (devices, "localhost"), whatever the locale.
std::string UpperAscii(std::string text);

// Reads a fuzz input from the front. Past its end every field is zero or empty, so any input
// is a valid one.
class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool AtEnd() const { return position_ == size_; }
    std::uint8_t Byte();
    std::uint16_t Word(); // big-endian
    std::string Bytes(std::size_t count);
    // A length byte, then that many bytes.
    std::string Counted();
    // Everything up to the next byte 0 (which is consumed), or to the end.
    std::string UpToZero();
    std::string Rest();

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// Replaces a file's content with these bytes (the path as the system spells it).
void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes);

// A folder of this process for files the target writes, removed when the process ends: under
// TMPDIR when set, else in memory under /dev/shm where the system offers it (no slow flushes to
// disk).
const std::filesystem::path& ScratchFolder();

} // namespace brinmor::fuzz
