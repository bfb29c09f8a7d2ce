#pragma once

// The part of AtomicFile that each platform does its own way (AtomicFilePosix.cpp,
// AtomicFileWindows.cpp); AtomicFile.cpp holds the rest.
#include "platform/AtomicFile.h"

#include <filesystem>
#include <string>

namespace brinmor::atomic_file {

// A new temporary name beside target, of fixed length: see ReplaceFileContents.
std::filesystem::path TemporaryPath(const std::filesystem::path& target);

// Raises EOSError for the step that failed on path.
[[noreturn]] void Fail(int code, const char* step, const std::filesystem::path& path);

// Writes bytes to a temporary file beside target, flushes it and renames it over target. On
// failure the temporary is gone and EOSError is raised.
void WriteAndReplace(const std::filesystem::path& target, const std::string& bytes, FileMode mode);

// Deletes the temporary file at path unless a running write holds it.
void RemoveIfUnheld(const std::filesystem::path& path);

} // namespace brinmor::atomic_file
