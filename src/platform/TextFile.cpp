#include "platform/TextFile.h"

#include "platform/Exceptions.h"
#include "platform/FileError.h"
#include "platform/Path.h"

#include <algorithm>
#include <atomic>
#include <optional>

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

std::intptr_t OpenForReading(const std::string& path) {
    const HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        RaiseLastFileError(path);
    return reinterpret_cast<std::intptr_t>(h);
}

std::intptr_t OpenForWriting(const std::string& path) {
    const HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        RaiseLastFileError(path);
    return reinterpret_cast<std::intptr_t>(h);
}

std::size_t ReadSome(std::intptr_t handle, char* data, std::size_t size, const std::string& path) {
    DWORD done = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle), data, static_cast<DWORD>(size), &done, nullptr))
        RaiseLastFileError(path);
    return done;
}

std::size_t WriteSome(std::intptr_t handle, const char* data, std::size_t size,
                      const std::string& path) {
    DWORD done = 0;
    if (!WriteFile(reinterpret_cast<HANDLE>(handle), data, static_cast<DWORD>(size), &done,
                   nullptr))
        RaiseLastFileError(path);
    return done;
}

bool CloseHandleOf(std::intptr_t handle) {
    return CloseHandle(reinterpret_cast<HANDLE>(handle)) != 0;
}

bool RenameOver(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

unsigned long ProcessId() {
    return GetCurrentProcessId();
}

#else

std::intptr_t OpenForReading(const std::string& path) {
    const int fd = open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
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

std::intptr_t OpenForWriting(const std::string& path) {
    const int fd = open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        RaiseLastFileError(path);
    return fd;
}

std::size_t ReadSome(std::intptr_t handle, char* data, std::size_t size, const std::string& path) {
    for (;;) {
        const ssize_t done = read(static_cast<int>(handle), data, size);
        if (done >= 0)
            return static_cast<std::size_t>(done);
        if (errno != EINTR)
            RaiseLastFileError(path);
    }
}

std::size_t WriteSome(std::intptr_t handle, const char* data, std::size_t size,
                      const std::string& path) {
    for (;;) {
        const ssize_t done = write(static_cast<int>(handle), data, size);
        if (done >= 0)
            return static_cast<std::size_t>(done);
        if (errno != EINTR)
            RaiseLastFileError(path);
    }
}

bool CloseHandleOf(std::intptr_t handle) {
    return close(static_cast<int>(handle)) == 0;
}

bool RenameOver(const std::string& from, const std::string& to) {
    return rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}

unsigned long ProcessId() {
    return static_cast<unsigned long>(getpid());
}

#endif

std::string TemporaryNameBeside(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const auto slash = path.find_last_of(PathDelim);
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    return folder + ".brinmor-" + std::to_string(ProcessId()) + "-" + std::to_string(counter++) +
           ".tmp";
}

} // namespace

TextFileReader::TextFileReader(const std::string& path)
    : path_(path), handle_(OpenForReading(path)), buffer_(kBufferSize) {}

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

bool TextFileReader::AtEnd() {
    if (pos_ == end_ && !Fill())
        return true;
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
                return true;
            continue;
        }
        if (*found == kEndOfFile)
            return true; // left in place: AtEnd sees it next
        ++pos_;
        if ((pos_ < end_ || Fill()) && buffer_[pos_] == '\n')
            ++pos_;
        return true;
    }
}

void TextFileReader::Close() {
    const std::intptr_t handle = handle_;
    handle_ = kClosed;
    if (handle != kClosed && !CloseHandleOf(handle))
        RaiseLastFileError(path_);
}

TextFileWriter::TextFileWriter(const std::string& path)
    : path_(path), handle_(OpenForWriting(path)) {
    buffer_.reserve(kBufferSize);
}

TextFileWriter::~TextFileWriter() {
    if (handle_ != kClosed)
        CloseHandleOf(handle_);
}

void TextFileWriter::WriteLine(const std::string& text) {
    Write(text.data(), text.size());
    Write("\r\n", 2);
}

void TextFileWriter::Write(const char* data, std::size_t size) {
    if (buffer_.size() + size > kBufferSize)
        Flush();
    if (size >= kBufferSize) {
        while (size > 0) {
            const std::size_t done = WriteSome(handle_, data, size, path_);
            data += done;
            size -= done;
        }
        return;
    }
    buffer_.append(data, size);
}

void TextFileWriter::Flush() {
    std::size_t at = 0;
    while (at < buffer_.size())
        at += WriteSome(handle_, buffer_.data() + at, buffer_.size() - at, path_);
    buffer_.clear();
}

void TextFileWriter::Close() {
    if (handle_ == kClosed)
        return;
    try {
        Flush();
    } catch (...) {
        CloseHandleOf(handle_);
        handle_ = kClosed;
        throw;
    }
    const std::intptr_t handle = handle_;
    handle_ = kClosed;
    if (!CloseHandleOf(handle))
        RaiseLastFileError(path_);
}

void ReplaceTextFile(const std::string& path, const std::function<void(TextFileWriter&)>& write) {
    const std::string temporary = TemporaryNameBeside(path);
    {
        // A missing folder fails here already, with the same code as the real name would.
        std::optional<TextFileWriter> writer(std::in_place, temporary);
        try {
            write(*writer);
            writer->Close();
        } catch (...) {
            writer.reset();
            RemoveFile(temporary);
            throw;
        }
    }
    if (!RenameOver(temporary, path)) {
        const int code = LastFileErrorCode(path);
        RemoveFile(temporary);
        throw EInOutError(code);
    }
}

bool RemoveFile(const std::string& path) {
#ifdef _WIN32
    return DeleteFileA(path.c_str()) != 0;
#else
    return unlink(NativePath(path).c_str()) == 0;
#endif
}

} // namespace brinmor
