#include "platform/TextFile.h"

#include "platform/Cp1252.h"
#include "platform/FileError.h"
#include "platform/TextFilePlatform.h"

#include <algorithm>

namespace brinmor {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
constexpr char kCR = '\r';
constexpr char kEndOfFile = '\x1A';
constexpr std::intptr_t kClosed = -1;

} // namespace

using text_file::CloseHandleOf;
using text_file::OpenForReading;
using text_file::ReadSome;

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

} // namespace brinmor
