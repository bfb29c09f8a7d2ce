#include "platform/TextFile.h"

#include "platform/Cp1252.h"
#include "platform/Exceptions.h"
#include "platform/FileError.h"
#include "platform/Path.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace brinmor {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
constexpr char kCR = '\r';
constexpr char kEndOfFile = '\x1A';
constexpr std::intptr_t kClosed = -1;

#ifdef _WIN32

std::intptr_t OpenForReading(const std::filesystem::path& path) {
    const HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        RaiseLastFileError(path);
    return reinterpret_cast<std::intptr_t>(h);
}

std::size_t ReadSome(std::intptr_t handle, char* data, std::size_t size,
                     const std::filesystem::path& path) {
    DWORD done = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle), data, static_cast<DWORD>(size), &done, nullptr))
        RaiseLastFileError(path);
    return done;
}

bool CloseHandleOf(std::intptr_t handle) {
    return CloseHandle(reinterpret_cast<HANDLE>(handle)) != 0;
}

#else

std::intptr_t OpenForReading(const std::filesystem::path& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        RaiseLastFileError(path);
    struct stat info {};
    if (fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        // Windows refuses to open a folder as a file.
        close(fd);
        throw EInOutError(5);
    }
    return fd;
}

std::size_t ReadSome(std::intptr_t handle, char* data, std::size_t size,
                     const std::filesystem::path& path) {
    for (;;) {
        const ssize_t done = read(static_cast<int>(handle), data, size);
        if (done >= 0)
            return static_cast<std::size_t>(done);
        if (errno != EINTR)
            RaiseLastFileError(path);
    }
}

bool CloseHandleOf(std::intptr_t handle) {
    return close(static_cast<int>(handle)) == 0;
}

#endif

} // namespace

TextFileReader::TextFileReader(const std::string& path, Encoding encoding)
    : TextFileReader(FileSystemPath(path), encoding) {}

TextFileReader::TextFileReader(const std::filesystem::path& file, Encoding encoding)
    : path_(file), decodeMarked_(encoding == Encoding::UnicodeWhenMarked),
      handle_(OpenForReading(path_)), buffer_(kBufferSize) {}

TextFileReader::~TextFileReader() {
    if (handle_ != kClosed)
        CloseHandleOf(handle_);
}

bool TextFileReader::Fill() {
    if (endOfFile_)
        return false;
    pos_ = 0;
    end_ = ReadSome(handle_, buffer_.data(), buffer_.size(), path_);
    if (end_ == 0)
        endOfFile_ = true;
    return end_ > 0;
}

// Looks at the start of the file once. UTF-8 lines are converted one by one after the split;
// UTF-16 has to be converted before it, so the whole file is read and converted at once.
void TextFileReader::DecodeMarkedUnicode() {
    decodeMarked_ = false;
    std::string head(buffer_.data(), end_);
    if (head.rfind("\xEF\xBB\xBF", 0) == 0) {
        utf8_ = true;
        pos_ = 3;
        return;
    }
    const bool little = head.rfind("\xFF\xFE", 0) == 0;
    if (!little && head.rfind("\xFE\xFF", 0) != 0)
        return;
    while (Fill())
        head.append(buffer_.data(), end_);
    const std::string text = Utf16ToCp1252(head.substr(2), little);
    buffer_.assign(text.begin(), text.end());
    pos_ = 0;
    end_ = buffer_.size();
    endOfFile_ = true;
}

bool TextFileReader::AtEnd() {
    if (pos_ == end_ && !Fill())
        return true;
    if (decodeMarked_) {
        DecodeMarkedUnicode();
        if (pos_ == end_ && !Fill())
            return true;
    }
    if (buffer_[pos_] == kEndOfFile) {
        endOfFile_ = true;
        pos_ = end_ = 0;
        return true;
    }
    return false;
}

bool TextFileReader::ReadLine(std::string& line) {
    if (AtEnd())
        return false;
    line.clear();
    for (;;) {
        const char* begin = buffer_.data() + pos_;
        const char* stop = buffer_.data() + end_;
        const char* found =
            std::find_if(begin, stop, [](char c) { return c == kCR || c == kEndOfFile; });
        line.append(begin, found);
        pos_ += static_cast<std::size_t>(found - begin);
        if (found == stop) {
            if (!Fill())
                break;
            continue;
        }
        if (*found == kCR) {
            ++pos_;
            if ((pos_ < end_ || Fill()) && buffer_[pos_] == '\n')
                ++pos_;
        } // a 0x1A is left in place: AtEnd sees it next
        break;
    }
    if (utf8_)
        line = Utf8ToCp1252(line);
    return true;
}

void TextFileReader::Close() {
    const std::intptr_t handle = handle_;
    handle_ = kClosed;
    if (handle != kClosed && !CloseHandleOf(handle))
        RaiseLastFileError(path_);
}

bool RemoveFile(const std::string& path) {
    return RemoveFile(FileSystemPath(path));
}

bool RemoveFile(const std::filesystem::path& file) {
#ifdef _WIN32
    return DeleteFileW(file.c_str()) != 0;
#else
    return unlink(file.c_str()) == 0;
#endif
}

} // namespace brinmor
