#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace brinmor {

// Text files by the program's line rules, named as the system names them. Every failure raises
// EInOutError with the Windows code of the operating-system error.
//
// Reading: a line ends at CR, and a LF right after that CR belongs to the line end; a LF
// anywhere else is an ordinary character. A byte 0x1A ends the file as read. A last line
// without CR counts; the line end at the very end does not open a further, empty line.
class TextFileReader {
public:
    enum class Encoding {
        // Every byte is a Windows-1252 character, as stored.
        Ansi,
        // A file that starts with a UTF-8 or UTF-16 byte-order mark is decoded, and a character
        // that Windows-1252 lacks becomes '?'; any other file reads as Ansi.
        UnicodeWhenMarked,
    };

    // Opens for reading; others may read the file meanwhile. A folder fails with code 5.
    explicit TextFileReader(const std::filesystem::path& file, Encoding encoding = Encoding::Ansi);
    ~TextFileReader();
    TextFileReader(const TextFileReader&) = delete;
    TextFileReader& operator=(const TextFileReader&) = delete;

    // The next line into `line`; false, with `line` untouched, when no line is left.
    bool ReadLine(std::string& line);

    void Close();

private:
    bool Fill();
    bool AtEnd();
    void DecodeMarkedUnicode();

    std::filesystem::path path_; // for the error codes
    bool decodeMarked_;
    bool utf8_ = false;
    std::intptr_t handle_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool endOfFile_ = false;
};

// Deletes a file; false when it can't (gone, a folder, refused).
bool RemoveFile(const std::filesystem::path& file);

} // namespace brinmor
