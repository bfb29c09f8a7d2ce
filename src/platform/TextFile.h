#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace brinmor {

// Text files by the program's line rules. Paths are Windows-1252 text. Every failure raises
// EInOutError with the Windows code of the operating-system error.
//
// Reading: a line ends at CR, and a LF right after that CR belongs to the line end; a LF
// anywhere else is an ordinary character. A byte 0x1A ends the file as read. A last line
// without CR counts; the line end at the very end does not open a further, empty line.
class TextFileReader {
public:
    // Opens for reading; others may read the file meanwhile. A folder fails with code 5.
    explicit TextFileReader(const std::string& path);
    ~TextFileReader();
    TextFileReader(const TextFileReader&) = delete;
    TextFileReader& operator=(const TextFileReader&) = delete;

    // The next line into `line`; false, with `line` untouched, when no line is left.
    bool ReadLine(std::string& line);

    void Close();

private:
    bool Fill();
    bool AtEnd();

    std::string path_;
    std::intptr_t handle_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool endOfFile_ = false;
};

// Writing: each line is followed by CR LF. The file is created, or emptied when it exists;
// others may read it while it is open but not write it.
class TextFileWriter {
public:
    explicit TextFileWriter(const std::string& path);
    ~TextFileWriter();
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    void WriteLine(const std::string& text);

    // Writes what is still buffered and closes; a failure of either raises.
    void Close();

private:
    void Write(const char* data, std::size_t size);
    void Flush();

    std::string path_;
    std::intptr_t handle_;
    std::string buffer_;
};

// Writes a text file to a temporary file beside `path` (named so that no "*.dns" enumeration
// lists it) and renames it over `path`. A failure leaves the earlier file intact and removes
// the temporary one.
void ReplaceTextFile(const std::string& path, const std::function<void(TextFileWriter&)>& write);

// Deletes a file; false when it can't (gone, a folder, refused).
bool RemoveFile(const std::string& path);

} // namespace brinmor
