#pragma once

// The part of TextFile that each platform does its own way (TextFilePosix.cpp,
// TextFileWindows.cpp); TextFile.cpp holds the line rules.
#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace brinmor::text_file {

// Opens path for reading, shared with other readers; raises EInOutError, code 5 for a folder.
std::intptr_t OpenForReading(const std::filesystem::path& path);

// Reads up to size bytes; 0 at the end of the file. Raises EInOutError.
std::size_t ReadSome(std::intptr_t handle, char* data, std::size_t size,
                     const std::filesystem::path& path);

bool CloseHandleOf(std::intptr_t handle);

} // namespace brinmor::text_file
